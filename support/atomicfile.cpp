#include "support/atomicfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32

unsigned long ThisProcessId()
{
    return GetCurrentProcessId();
}

// Exclusive on every C runtime: msvcrt ignores fopen's "x" and would empty a file of that name.
int CreateNewFile(const std::string& path)
{
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

int WriteSome(int fd, const char* bytes, std::size_t size)
{
    return _write(fd, bytes, static_cast<unsigned>(size));
}

// Windows keeps no permission bits to carry over.
int KeepMode(int, const std::string&)
{
    return 0;
}

int SyncToDisk(int fd)
{
    return _commit(fd) == 0 ? 0 : errno;
}

int CloseFile(int fd)
{
    return _close(fd);
}

// While another store or program reads the file, it cannot be replaced: retry for a second.
int RenameOver(const std::string& from, const std::string& to)
{
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
            return EIO;
        if (attempt == 100)
            return EACCES;
        Sleep(10);
    }
}

#else

unsigned long ThisProcessId()
{
    return static_cast<unsigned long>(getpid());
}

int CreateNewFile(const std::string& path)
{
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

int WriteSome(int fd, const char* bytes, std::size_t size)
{
    return static_cast<int>(write(fd, bytes, size));
}

// The file that replaces an existing one keeps its permissions, since a rename keeps the new
// file's.
int KeepMode(int fd, const std::string& target)
{
    struct stat existing;
    if (stat(target.c_str(), &existing) != 0)
        return errno == ENOENT ? 0 : errno;
    return fchmod(fd, existing.st_mode & 07777) == 0 ? 0 : errno;
}

int SyncToDisk(int fd)
{
    return fsync(fd) == 0 ? 0 : errno;
}

int CloseFile(int fd)
{
    return close(fd);
}

int RenameOver(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

#endif

// A new file beside target, made with the umask's permissions; -1 with errno when it cannot be.
// Names differ per process and attempt, so that writes at once in two processes never meet, and
// writes in two threads or a dead write's leftover only cost an attempt.
int CreateBeside(const std::string& target, std::string& temporary)
{
    const std::string stem = target + ".tmp" + std::to_string(ThisProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + std::to_string(attempt);
        const int fd = CreateNewFile(temporary);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// 0, or the errno of the first write that failed.
int WriteAll(int fd, const std::string& bytes)
{
    // Bounded so that one write's count fits the int the Windows runtime returns.
    constexpr std::size_t Chunk = 1 << 30;
    for (std::size_t done = 0; done < bytes.size();) {
        const int written =
            WriteSome(fd, bytes.data() + done, std::min(bytes.size() - done, Chunk));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

} // namespace

int ReplaceFileAtomically(const std::string& path, const std::string& bytes, bool& temporaryMade)
{
    std::string temporary;
    const int fd = CreateBeside(path, temporary);
    temporaryMade = fd >= 0;
    if (fd < 0)
        return errno;
    int failure = WriteAll(fd, bytes);
    if (!failure)
        failure = KeepMode(fd, path);
    if (!failure)
        failure = SyncToDisk(fd);
    if (CloseFile(fd) != 0 && !failure)
        failure = errno;
    if (!failure)
        failure = RenameOver(temporary, path);
    if (!failure)
        return 0;
    std::remove(temporary.c_str());
    return failure;
}
