#include "automation/officeprofile.h"

#include "automation/liveoffices.h"
#include "automation/officenames.h"
#include "automation/officesettings.h"
#include "automation/temporaryfolder.h"
#include "support/makefolder.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

SetUpProfile::~SetUpProfile()
{
    Remove();
}

void SetUpProfile::Remove()
{
    LiveOffices live;
    std::error_code ignored;
    if (!path_.empty())
        fs::remove_all(path_, ignored);
    path_.clear();
    live.Forget(this);
}

std::string NewProfileFolder(SystemFailure& failure)
{
    std::string folder, problem;
    if (!UsableTemporaryFolder(folder, problem)) {
        failure = {FailureKind::Reported, problem};
        return std::string();
    }
    std::string pattern = folder + '/' + ProfileFolderPrefix(getpid()) + "XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        failure = SystemFailureOf("cannot create a profile folder for the office", errno);
        return std::string();
    }
    return pattern;
}

bool SeedProfile(const std::string& folder, const std::string& setUpPath, SystemFailure& failure)
{
    const auto made = [&failure](const std::string& path) {
        const int error = MakeFolder(path);
        if (error != 0)
            failure = SystemFailureOf("cannot create the profile folder " + path, error);
        return error == 0;
    };
    if (!made(folder + "/tmp"))
        return false;
    std::error_code failed;
    const bool copied = !setUpPath.empty();
    if (copied)
        fs::copy(setUpPath + "/user", folder + "/user", fs::copy_options::recursive, failed);
    if (!copied || failed) {
        if (!made(folder + "/user"))
            return false;
        std::ofstream(folder + "/user/registrymodifications.xcu") << OfficeSettings();
        if (!OfficeFontConfiguration().empty()) {
            const fs::path file = FontConfigurationFile(folder);
            if (!made(file.parent_path()))
                return false;
            std::ofstream(file) << OfficeFontConfiguration();
        }
    }
    // Made under the caller's umask: the user's alone, as the office makes its own files.
    std::error_code walk;
    for (fs::recursive_directory_iterator entry(folder, walk), end; !walk && entry != end;
         entry.increment(walk))
        fs::permissions(entry->path(),
                        entry->is_directory(failed)
                            ? fs::perms::owner_all
                            : fs::perms::owner_read | fs::perms::owner_write,
                        failed);
    return true;
}

std::string FontConfigurationFile(const std::string& folder)
{
    return folder + "/user/fontconfig/fonts.conf";
}

std::string CopyOfProfile(const std::string& folder)
{
    // Named as a profile folder is, so that the next run's clean-up takes it after a kill. Only a
    // saving: without it, the next office sets its own profile up.
    SystemFailure ignored;
    const std::string copy = NewProfileFolder(ignored);
    if (copy.empty())
        return copy;
    std::error_code failed;
    fs::copy(folder + "/user", copy + "/user", fs::copy_options::recursive, failed);
    if (failed) {
        fs::remove_all(copy, failed);
        return std::string();
    }
    return copy;
}
