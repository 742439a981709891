#include "automation/officetemporaryfiles.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The office names them "lu" and a random part, ".tmp".
bool OfficeTemporaryName(const std::string& name)
{
    const std::string stem = "lu", suffix = ".tmp";
    return name.size() > stem.size() + suffix.size() && name.compare(0, stem.size(), stem) == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::vector<std::string> OfficeTemporaryNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (const std::string name = it->path().filename().string(); OfficeTemporaryName(name))
            names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

using FileId = std::pair<dev_t, ino_t>;

// The files that this user's processes hold open, among those given.
std::set<FileId> HeldOpen(const std::set<FileId>& files)
{
    std::set<FileId> held;
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        std::error_code unreadable;
        for (fs::directory_iterator fd(process->path() / "fd", unreadable), last;
             !unreadable && fd != last; fd.increment(unreadable)) {
            struct stat info;
            if (stat(fd->path().c_str(), &info) == 0 && files.count({info.st_dev, info.st_ino}))
                held.insert({info.st_dev, info.st_ino});
        }
    }
    return held;
}

} // namespace

OfficeTemporaryFiles::OfficeTemporaryFiles(const std::string& folder)
    : folder_(folder), before_(OfficeTemporaryNames(folder))
{
}

void OfficeTemporaryFiles::RemoveNew() const
{
    std::set<FileId> made;
    std::vector<std::pair<fs::path, FileId>> candidates;
    for (const std::string& name : OfficeTemporaryNames(folder_)) {
        struct stat info;
        const fs::path path = fs::path(folder_) / name;
        if (!std::binary_search(before_.begin(), before_.end(), name) &&
            lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == getuid()) {
            candidates.emplace_back(path, FileId{info.st_dev, info.st_ino});
            made.insert({info.st_dev, info.st_ino});
        }
    }
    if (candidates.empty())
        return;
    // A sandboxed office runs below bubblewrap, and may still be going when bubblewrap has been
    // reaped: a moment for it to let go of its file.
    std::set<FileId> held = HeldOpen(made);
    for (int wait = 0; !held.empty() && wait < 25; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        held = HeldOpen(made);
    }
    // One that cannot be removed stays, as the office would have left it.
    for (const auto& [path, id] : candidates) {
        std::error_code ignored;
        if (!held.count(id))
            fs::remove(path, ignored);
    }
}
