#include "support/makefolder.h"

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

#ifdef _WIN32

const char* const Separators = "/\\";

// The UTF-8 path in UTF-16; paths the plain wide calls refuse (from 248 characters for a folder)
// made whole and given the "\\?\" prefix, which lifts the limit but takes only absolute, clean
// paths.
std::wstring WidePath(const std::string& path)
{
    const int size = static_cast<int>(path.size());
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, path.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), size, &wide[0], static_cast<int>(wide.size()));
    if (wide.size() < 248)
        return wide;
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr));
    if (full.compare(0, 4, L"\\\\?\\") == 0)
        return full;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int MakeOneLevel(const std::string& path)
{
    return _wmkdir(WidePath(path).c_str());
}

// A drive ("C:") is no level to make.
bool IsRoot(const std::string& path)
{
    return path.empty() || (path.size() == 2 && path[1] == ':');
}

#else

const char* const Separators = "/";

bool IsFolder(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

int MakeOneLevel(const std::string& path)
{
    return mkdir(path.c_str(), 0777);
}

bool IsRoot(const std::string& path)
{
    return path.empty();
}

#endif

// path without the separators it ends with, a root's own kept.
std::string WithoutTrailingSeparators(std::string path)
{
    const std::size_t last = path.find_last_not_of(Separators);
    path.erase(last == std::string::npos ? std::min<std::size_t>(path.size(), 1) : last + 1);
    return path;
}

} // namespace

int MakeFolder(const std::string& folder)
{
    const std::string path = WithoutTrailingSeparators(folder);
    if (path.empty())
        return ENOENT;
    if (IsFolder(path))
        return 0;
    const std::size_t cut = path.find_last_of(Separators);
    if (cut != std::string::npos && cut > 0) {
        const std::string parent = WithoutTrailingSeparators(path.substr(0, cut));
        if (!IsRoot(parent)) {
            if (const int failure = MakeFolder(parent))
                return failure;
        }
    }
    if (MakeOneLevel(path) == 0)
        return 0;
    const int failure = errno;
    if (failure != EEXIST)
        return failure;
    return IsFolder(path) ? 0 : ENOTDIR;
}
