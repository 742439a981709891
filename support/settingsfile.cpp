#include "support/settingsfile.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

const char* const Blanks = " \t";

// Offset of the key where its line starts, or npos.
std::size_t FindKeyLine(const std::string& text, const std::string& key)
{
    const std::string pattern = key + "=";
    for (std::size_t lineStart = 0; lineStart < text.size();) {
        std::size_t at = text.find_first_not_of(Blanks, lineStart);
        if (at == std::string::npos)
            return std::string::npos;
        if (text.compare(at, pattern.size(), pattern) == 0)
            return at;
        const std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            return std::string::npos;
        lineStart = lineEnd + 1;
    }
    return std::string::npos;
}

bool FitsOnOneLine(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

// fopen, except that on Windows a file that another store is replacing right now cannot be
// opened for a moment: that is retried for a second.
std::FILE* OpenFile(const std::string& path, const char* mode)
{
#ifdef _WIN32
    for (int attempt = 0;; ++attempt) {
        std::FILE* file = std::fopen(path.c_str(), mode);
        if (file || errno != EACCES || attempt == 100)
            return file;
        Sleep(10);
    }
#else
    return std::fopen(path.c_str(), mode);
#endif
}

bool WriteAll(std::FILE* file, const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}

bool SyncToDisk(std::FILE* file)
{
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// Gives the new file the old one's permissions, since a rename keeps the new file's.
void CopyPermissions(const std::string& from, std::FILE* to)
{
#ifdef _WIN32
    (void)from;
    (void)to;
#else
    struct stat old;
    if (stat(from.c_str(), &old) == 0)
        fchmod(fileno(to), old.st_mode & 07777);
#endif
}

bool RenameOver(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    // While another store or program reads the file, it cannot be replaced: retry for a second.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 100)
            return false;
        Sleep(10);
    }
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// A settings file reached through a link is replaced where it really lies, keeping the link.
std::string RealTarget(const std::string& path)
{
#ifdef _WIN32
    return path;
#else
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
#endif
}

// Opens a file that did not exist for writing; null when the name is taken (errno EEXIST) or
// cannot be made. The create is exclusive on every C runtime: msvcrt ignores fopen's "x" and would
// empty a file of that name.
std::FILE* CreateNewFile(const std::string& path)
{
#ifdef _WIN32
    const int descriptor =
        _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    std::FILE* file = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
    if (descriptor >= 0 && !file)
        _close(descriptor);
#else
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (descriptor >= 0 && !file)
        close(descriptor);
#endif
    return file;
}

unsigned long ThisProcessId()
{
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// Creates a new temporary file beside target; null when its folder takes no new file. Names
// differ per process and attempt, so that stores at once in two processes never meet, and stores
// in two threads or a dead store's leftover only cost an attempt.
std::FILE* CreateTemporaryBeside(const std::string& target, std::string& temporaryPath)
{
    const std::string stem = target + ".tmp" + std::to_string(ThisProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = stem + std::to_string(attempt);
        if (std::FILE* file = CreateNewFile(temporaryPath))
            return file;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// Replaces the file's contents so that a crash or a full disk leaves either the old or the new
// file whole. Where the folder takes no temporary file, the file is rewritten in place.
bool ReplaceContents(const std::string& path, const std::string& text)
{
    const std::string target = RealTarget(path);
    std::string temporaryPath;
    std::FILE* temporary = CreateTemporaryBeside(target, temporaryPath);
    if (!temporary) {
        std::FILE* file = std::fopen(target.c_str(), "wb");
        if (!file)
            return false;
        const bool written = WriteAll(file, text);
        return std::fclose(file) == 0 && written;
    }
    CopyPermissions(target, temporary);
    const bool written = WriteAll(temporary, text) && SyncToDisk(temporary);
    if (std::fclose(temporary) == 0 && written && RenameOver(temporaryPath, target))
        return true;
    std::remove(temporaryPath.c_str());
    return false;
}

} // namespace

long FileLength(std::FILE* file)
{
    const long position = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    const long length = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return length;
}

int ReadWholeFile(std::string& text, const std::string& path)
{
    std::FILE* file = OpenFile(path, "rb");
    if (!file)
        return -1;
    // Read in chunks: a folder or a device opened by mistake reports a length that means nothing.
    std::string contents;
    const long length = FileLength(file);
    if (length > 0 && length < (1L << 24))
        contents.reserve(static_cast<std::size_t>(length));
    char chunk[1 << 16];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof(chunk), file)) > 0;)
        contents.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return -1;
    text.swap(contents);
    return 0;
}

void GetKeyValue(std::string& value, const std::string& text, const std::string& key)
{
    value.clear();
    if (key.empty())
        return;
    const std::size_t at = FindKeyLine(text, key);
    if (at == std::string::npos)
        return;
    const std::size_t start = at + key.size() + 1;
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
        end = text.size();
    if (end > start && text[end - 1] == '\r')
        --end;
    value = text.substr(start, end - start);
    TrimBlanks(value);
}

void ReplaceKeyValue(std::string& out, const std::string& oldText, const std::string& key,
                     const std::string& value)
{
    const std::string newLine = key + "=" + value + "\r\n";
    const std::size_t at = FindKeyLine(oldText, key);
    if (at == std::string::npos) {
        out = oldText;
        if (!out.empty() && out.back() != '\n')
            out += "\r\n";
        out += newLine;
        return;
    }
    out = oldText.substr(0, at) + newLine;
    const std::size_t lineEnd = oldText.find('\n', at);
    if (lineEnd != std::string::npos)
        out.append(oldText, lineEnd + 1, std::string::npos);
}

int SetKeyValue(const std::string& path, const std::string& key, const std::string& value)
{
    if (key.empty() || key.find('=') != std::string::npos || !FitsOnOneLine(key) ||
        !FitsOnOneLine(value))
        return -1;
    std::string oldText;
    if (ReadWholeFile(oldText, path) != 0)
        return -1;
    // A file that may not be written stays as it is, though its folder might allow a rename.
    std::FILE* writable = OpenFile(path, "r+b");
    if (!writable)
        return -1;
    std::fclose(writable);
    std::string newText;
    ReplaceKeyValue(newText, oldText, key, value);
    return ReplaceContents(path, newText) ? 0 : -1;
}

void TrimBlanks(std::string& text)
{
    text.erase(0, text.find_first_not_of(Blanks));
    const std::size_t last = text.find_last_not_of(Blanks);
    text.erase(last == std::string::npos ? 0 : last + 1);
}
