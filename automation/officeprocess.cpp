#include "automation/officeprocess.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* const OfficeProgram = LO_PROGRAM_DIR "/soffice.bin";

// Marks the profile as already set up for this version: the office then skips its first-start
// work (about 3 s) and starts small.
const char* const SeededSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>7.4</value></prop></item>
<item oor:path="/org.openoffice.Setup/Office"><prop oor:name="FirstStartWizardCompleted" oor:op="fuse"><value>true</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseLocking" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)";

std::string UniqueName()
{
    static std::atomic<unsigned> counter{0};
    return "quillsheet" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000);
}

// The office's environment: ours, with a UTF-8 locale (in a C locale it cannot load non-ASCII
// paths) and without libraries preloaded into us.
std::vector<std::string> OfficeEnvironment()
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string item(*entry);
        if (item.rfind("LC_ALL=", 0) == 0 || item.rfind("LD_PRELOAD=", 0) == 0)
            continue;
        env.push_back(item);
    }
    env.push_back("LC_ALL=C.UTF-8");
    return env;
}

} // namespace

OfficeProcess::OfficeProcess() = default;

OfficeProcess::~OfficeProcess()
{
    Stop(std::chrono::milliseconds(0));
}

bool OfficeProcess::Start(std::string& error)
{
    if (profileDir_.empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillsheet-office-XXXXXX").string();
        if (!mkdtemp(&pattern[0])) {
            error =
                "cannot create a profile folder for the office: " + std::string(strerror(errno));
            return false;
        }
        profileDir_ = pattern;
        std::filesystem::create_directories(profileDir_ + "/user");
        std::ofstream(profileDir_ + "/user/registrymodifications.xcu") << SeededSettings;
        pipeName_ = UniqueName();
    }

    const std::vector<std::string> args = {
        OfficeProgram,
        "-env:UserInstallation=file://" + profileDir_,
        "--headless",
        "--invisible",
        "--norestore",
        "--nologo",
        "--nodefault",
        "--nolockcheck",
        "--accept=pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext",
    };
    const std::vector<std::string> env = OfficeEnvironment();
    // Everything the child needs is prepared before fork: only async-signal-safe calls follow.
    std::vector<char*> argv, envp;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    for (const std::string& item : env)
        envp.push_back(const_cast<char*>(item.c_str()));
    envp.push_back(nullptr);

    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        error = "cannot start the office: " + std::string(strerror(errno));
        return false;
    }
    if (child == 0) {
        setsid();
        // The office dies with the thread that started it, so a killed client leaves none.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    pid_ = child;
    exitCode_ = -1;
    return true;
}

std::string OfficeProcess::ConnectUrl() const
{
    return "uno:pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext";
}

bool OfficeProcess::Running()
{
    if (pid_ <= 0)
        return false;
    int status = 0;
    const pid_t result = waitpid(pid_, &status, WNOHANG);
    if (result == 0)
        return true;
    if (result == pid_)
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
    return false;
}

void OfficeProcess::NoteSocketFiles()
{
    const long pid = pid_;
    if (pid <= 0)
        return;
    std::set<std::string> inodes;
    std::error_code error;
    for (const auto& fd :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
        if (target.rfind("socket:[", 0) == 0)
            inodes.insert(target.substr(8, target.size() - 9));
    }
    // Lines of /proc/net/unix: Num RefCount Protocol Flags Type St Inode [Path]
    std::ifstream table("/proc/net/unix");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string skip, inode, path;
        for (int i = 0; i < 6; ++i)
            fields >> skip;
        fields >> inode >> path;
        if (!path.empty() && path[0] == '/' && inodes.count(inode))
            socketFiles_.push_back(path);
    }
}

long long OfficeProcess::ResidentBytes() const
{
    const long pid = pid_;
    long long pages = 0, resident = 0;
    std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
    if (pid <= 0 || !(statm >> pages >> resident))
        return 0;
    return resident * sysconf(_SC_PAGESIZE);
}

void OfficeProcess::Kill() const
{
    if (pid_ > 0)
        kill(-pid_, SIGKILL);
}

void OfficeProcess::Stop(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (pid_ > 0) {
        Kill();
        int status = 0;
        if (waitpid(pid_, &status, 0) == pid_)
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
    }
    RemoveLeftovers();
}

void OfficeProcess::RemoveLeftovers()
{
    std::error_code ignored;
    if (!pipeName_.empty())
        std::filesystem::remove("/tmp/OSL_PIPE_" + std::to_string(getuid()) + "_" + pipeName_,
                                ignored);
    for (const std::string& path : socketFiles_)
        std::filesystem::remove(path, ignored);
    socketFiles_.clear();
    if (!profileDir_.empty())
        std::filesystem::remove_all(profileDir_, ignored);
    profileDir_.clear();
    pipeName_.clear();
}
