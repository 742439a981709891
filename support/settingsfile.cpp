#include "support/settingsfile.h"

#include "support/atomicfile.h"

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
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

// Replaces the file's contents so that a crash or a full disk leaves either the old or the new
// file whole. Where the folder takes no temporary file, the file is rewritten in place.
bool ReplaceContents(const std::string& path, const std::string& text)
{
    const std::string target = RealTarget(path);
    bool temporaryMade = false;
    if (ReplaceFileAtomically(target, text, temporaryMade) == 0)
        return true;
    if (temporaryMade)
        return false;
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (!file)
        return false;
    const bool written = WriteAll(file, text);
    return std::fclose(file) == 0 && written;
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
