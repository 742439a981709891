#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <random>
#else
#include <stdlib.h>
#endif

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempFolder
{
public:
    TempFolder()
    {
#ifdef _WIN32
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto candidate =
                std::filesystem::temp_directory_path() / ("quillsheet-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error))
                path_ = candidate;
        }
#else
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillsheet-XXXXXX").string();
        if (mkdtemp(&pattern[0]))
            path_ = pattern;
#endif
    }
    ~TempFolder()
    {
        if (path_.empty())
            return;
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
#ifdef _WIN32
        // Read-only files cannot be removed there, and paths past 260 characters need the prefix.
        const std::filesystem::path whole = L"\\\\?\\" + path_.wstring();
        for (std::filesystem::recursive_directory_iterator entry(whole, ignored), end; entry != end;
             entry.increment(ignored))
            std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(whole, ignored);
#else
        std::filesystem::remove_all(path_, ignored);
#endif
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const
    {
        return path_;
    }
    std::string operator/(const std::string& name) const
    {
        return (path_ / name).string();
    }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
