#include "support/exclusivefilelock.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#ifdef _WIN32

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (handle_)
        CloseHandle(handle_);
}

bool ExclusiveFileLock::Lock(const std::string& path, const std::function<void()>& waiting,
                             std::string& error)
{
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot open the lock file (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                    MAXDWORD, &whole)) {
        waiting();
        if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
            error = "cannot lock the file (error " + std::to_string(GetLastError()) + ")";
            CloseHandle(file);
            return false;
        }
    }
    handle_ = file;
    return true;
}

#else

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (fd_ >= 0)
        close(fd_);
}

bool ExclusiveFileLock::Lock(const std::string& path, const std::function<void()>& waiting,
                             std::string& error)
{
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            waiting();
        int locked;
        while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            error = std::strerror(errno);
            close(fd);
            return false;
        }
    }
    fd_ = fd;
    return true;
}

#endif
