#include "support/filehelpers.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

constexpr std::size_t NotFound = std::string::npos;

std::size_t FindOccurrence(const std::string& text, const std::string& pattern, int last)
{
    if (pattern.empty())
        return NotFound;
    if (!last)
        return text.find(pattern);
    std::size_t found = NotFound;
    for (std::size_t at = text.find(pattern); at != NotFound;
         at = text.find(pattern, at + pattern.size()))
        found = at;
    return found;
}

#ifdef _WIN32

// The path in the ANSI code page, as the 8-bit calls take it, turned into UTF-16.
std::wstring WidePath(const std::string& path)
{
    const int size = static_cast<int>(path.size());
    std::wstring wide(MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), size, &wide[0], static_cast<int>(wide.size()));
    return wide;
}

// Paths the 8-bit and plain wide calls refuse (from 248 characters for a folder) are made whole
// and given the "\\?\" prefix, which lifts the limit but takes only absolute, clean paths.
void MakeOneDir(const std::string& path)
{
    std::wstring wide = WidePath(path);
    if (wide.size() >= 248) {
        std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
        full.resize(
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr));
        if (full.compare(0, 4, L"\\\\?\\") == 0)
            wide = full;
        else if (full.compare(0, 2, L"\\\\") == 0)
            wide = L"\\\\?\\UNC\\" + full.substr(2);
        else
            wide = L"\\\\?\\" + full;
    }
    CreateDirectoryW(wide.c_str(), nullptr);
}

#else

void MakeOneDir(const std::string& path)
{
    mkdir(path.c_str(), 0777);
}

#endif

} // namespace

void SubString(std::string& out, const std::string& text, std::size_t start, std::size_t end)
{
    if (start > text.size())
        return;
    if (end > text.size())
        end = text.size();
    out = start < end ? text.substr(start, end - start) : std::string();
}

int LastIndexOf(const std::string& text, const std::string& pattern)
{
    const std::size_t at = FindOccurrence(text, pattern, 1);
    return at == NotFound ? -1 : static_cast<int>(at);
}

int LeftOf(std::string& out, const std::string& text, const std::string& pattern, int include,
           int last)
{
    const std::size_t at = FindOccurrence(text, pattern, last);
    if (at == NotFound) {
        out.clear();
        return -1;
    }
    out = text.substr(0, include > 0 ? at + pattern.size() : at);
    return 1;
}

int RightOf(std::string& out, const std::string& text, const std::string& pattern, int include,
            int last)
{
    const std::size_t at = FindOccurrence(text, pattern, last);
    if (at == NotFound) {
        out.clear();
        return -1;
    }
    out = text.substr(include > 0 ? at : at + pattern.size());
    return 1;
}

int Between(std::string& out, const std::string& text, const std::string& leftPattern,
            const std::string& rightPattern, int includeLeft, int includeRight, int lastLeft,
            int lastRight)
{
    std::string afterLeft;
    if (RightOf(afterLeft, text, leftPattern, includeLeft, lastLeft) < 0) {
        out.clear();
        return -1;
    }
    return LeftOf(out, afterLeft, rightPattern, includeRight, lastRight);
}

int NthCharIndex(const std::string& text, char c, int n)
{
    if (n < 1)
        return -1;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == c && --n == 0)
            return static_cast<int>(at);
    }
    return -1;
}

void ReplaceFirst(std::string& text, const std::string& pattern, const std::string& replacement)
{
    const std::size_t at = FindOccurrence(text, pattern, 0);
    if (at != NotFound)
        text.replace(at, pattern.size(), replacement);
}

void ReplaceAll(std::string& text, const std::string& pattern, const std::string& replacement)
{
    if (pattern.empty())
        return;
    const bool feedsItself = replacement.find(pattern) != NotFound;
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != NotFound; at = text.find(pattern, from)) {
        text.replace(at, pattern.size(), replacement);
        // Everything that ends before the replaced span was searched already, so the next
        // occurrence can start no earlier than pattern length - 1 bytes before it.
        if (feedsItself)
            from = at + replacement.size();
        else
            from = at + 1 >= pattern.size() ? at + 1 - pattern.size() : 0;
    }
}

void MakeDirPath(const std::string& path)
{
    if (path.empty())
        return;
#ifdef _WIN32
    const char separator = '\\';
    std::string folder = path;
    ReplaceAll(folder, "/", "\\");
#else
    const char separator = '/';
    std::string folder = path;
#endif
    if (folder.back() != separator)
        folder += separator;
    for (std::size_t at = folder.find(separator, folder.find(separator) + 1);
         at != std::string::npos; at = folder.find(separator, at + 1))
        MakeOneDir(folder.substr(0, at));
}
