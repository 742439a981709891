#include "automation/officeprofile.h"

#include "automation/liveoffices.h"
#include "automation/officenames.h"
#include "automation/officesettings.h"
#include "automation/temporaryfolder.h"

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

void SeedProfile(const std::string& folder, const std::string& setUpPath)
{
    std::error_code failed;
    fs::create_directories(folder + "/tmp", failed);
    const bool copied = !setUpPath.empty();
    if (copied)
        fs::copy(setUpPath + "/user", folder + "/user", fs::copy_options::recursive, failed);
    if (!copied || failed) {
        fs::create_directories(folder + "/user", failed);
        std::ofstream(folder + "/user/registrymodifications.xcu") << OfficeSettings();
        if (!OfficeFontConfiguration().empty()) {
            const fs::path file = FontConfigurationFile(folder);
            fs::create_directories(file.parent_path(), failed);
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
