#pragma once

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

// How a path's text is encoded on Windows: in the ANSI code page, as MakeDirPath takes it, or in
// UTF-8, as MakeFolder does. Elsewhere it is as the file system has it.
enum class PathText
{
    Ansi,
    Utf8
};

// Whether path names a folder; on Windows asked through the wide call, which has no
// 260-character limit.
inline bool IsFolder(const std::string& path, [[maybe_unused]] PathText text)
{
#ifdef _WIN32
    std::wstring wide(path.size(), L'\0');
    wide.resize(MultiByteToWideChar(text == PathText::Ansi ? CP_ACP : CP_UTF8, 0, path.data(),
                                    static_cast<int>(path.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr));
    const DWORD attributes = GetFileAttributesW((L"\\\\?\\" + full).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    return std::filesystem::is_directory(path);
#endif
}
