#include "automation/profilecache.h"

#include "automation/officesettings.h"
#include "support/makefolder.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const PartStem = ".part-";

// What makes a set-up profile another: the office's build (its version file and program) and
// the settings and font configuration we seed it with, which follow the locale and the fonts.
std::string ProfileKey()
{
    std::ostringstream key;
    key << std::ifstream(LO_PROGRAM_DIR "/versionrc").rdbuf();
    std::error_code failed;
    const fs::path program = LO_PROGRAM_DIR "/soffice.bin";
    key << fs::file_size(program, failed)
        << fs::last_write_time(program, failed).time_since_epoch().count() << OfficeSettings()
        << OfficeFontConfiguration();
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const unsigned char c : key.str())
        hash = (hash ^ c) * 1099511628211ull;
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (int shift = 60; shift >= 0; shift -= 4)
        text += digits[(hash >> shift) & 0xf];
    return text;
}

std::string CacheFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/')
        return std::string(cache) + "/quillsheet";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.cache/quillsheet";
    return std::string();
}

// Copies being made by runs that were killed: a copy takes milliseconds, so one an hour old is
// nobody's.
void RemoveStaleParts(const fs::path& folder)
{
    std::error_code failed;
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (fs::directory_iterator entry(folder, failed), end; !failed && entry != end;
         entry.increment(failed)) {
        std::error_code ignored;
        if (entry->path().filename().string().find(PartStem) != std::string::npos &&
            entry->last_write_time(ignored) < old)
            fs::remove_all(entry->path(), ignored);
    }
}

} // namespace

std::string CachedProfileFolder()
{
    const std::string folder = CacheFolder();
    return folder.empty() ? folder : folder + "/profile-" + ProfileKey();
}

std::string UsableCachedProfile()
{
    const std::string folder = CachedProfileFolder();
    std::error_code failed;
    return !folder.empty() &&
                   fs::is_regular_file(folder + "/user/registrymodifications.xcu", failed)
               ? folder
               : std::string();
}

void CacheSetUpProfile(const std::string& profile, bool replace)
{
    const std::string cached = CachedProfileFolder();
    if (cached.empty())
        return;
    const fs::path folder = fs::path(cached).parent_path();
    // Without the folder there is only no cache: the next office sets its profile up again.
    if (MakeFolder(folder) != 0)
        return;
    std::error_code failed;
    fs::permissions(folder, fs::perms::owner_all, failed);
    RemoveStaleParts(folder);
    std::string part = cached + PartStem + std::to_string(getpid()) + "-XXXXXX";
    if (!mkdtemp(&part[0]))
        return;
    fs::copy(profile + "/user", part + "/user", fs::copy_options::recursive, failed);
    if (!failed && replace) {
        // Aside first: a folder is renamed only over an empty one.
        const std::string stale = part + "-stale";
        fs::rename(cached, stale, failed);
        fs::remove_all(stale, failed);
        failed.clear();
    }
    if (!failed)
        fs::rename(part, cached, failed);
    if (failed)
        fs::remove_all(part, failed);
}
