#include "automation/officeprocess.h"

#include "automation/leftovers.h"
#include "automation/liveoffices.h"
#include "automation/officenames.h"
#include "automation/officesandbox.h"
#include "automation/profilecache.h"
#include "automation/unixsockets.h"
#include "support/makefolder.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const OfficeProgram = LO_PROGRAM_DIR "/soffice.bin";

std::string UniqueName()
{
    static std::atomic<unsigned> counter{0};
    return OfficePipePrefix(getpid()) + std::to_string(++counter) + "_" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000);
}

// The office's environment, made from nothing, so that no variable of our caller's (a secret, a
// library to preload, a display to reach) reaches a workbook: a UTF-8 locale (in a C locale it
// cannot load non-ASCII paths), a temporary folder inside its profile (its temporary files go
// with the profile even when it is killed), the home folder where the user's fonts are (the
// sandbox gives it the profile instead), and the caller's choice of fonts, which the profile's
// own font configuration (fontConfiguration, when not empty) includes.
std::vector<std::string> OfficeEnvironment(const std::string& tempDir,
                                           const std::string& fontConfiguration)
{
    std::vector<std::string> env = {"PATH=/usr/local/bin:/usr/bin:/bin", "LC_ALL=C.UTF-8",
                                    "TMPDIR=" + tempDir};
    if (!fontConfiguration.empty())
        env.push_back("FONTCONFIG_FILE=" + fontConfiguration);
    for (const char* name :
         {"HOME", "FONTCONFIG_FILE", "FONTCONFIG_PATH", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const bool replaced = !fontConfiguration.empty() && std::string(name) == "FONTCONFIG_FILE";
        if (const char* value = std::getenv(name); value && *value && !replaced)
            env.push_back(std::string(name) + "=" + value);
    }
    return env;
}

} // namespace

OfficeProcess::OfficeProcess() = default;

OfficeProcess::~OfficeProcess()
{
    Stop(std::chrono::milliseconds(0));
}

bool OfficeProcess::MakeProfile(SystemFailure& failure)
{
    RemoveLeftoversOfEndedRuns();
    LiveOffices live;
    if (live.Ending() || live.Refusing()) {
        failure = {FailureKind::Reported,
                   live.Ending() ? "the program is ending" : "the run is being stopped"};
        return false;
    }
    profileDir_ = NewProfileFolder(failure);
    if (profileDir_.empty())
        return false;
    pipeName_ = UniqueName();
    live.Add(this);
    std::string setUp = setUp_ ? setUp_->path_ : std::string();
    if (setUp.empty())
        setUp = UsableCachedProfile();
    fromCache_ = !setUp.empty() && (!setUp_ || setUp != setUp_->path_);
    return SeedProfile(profileDir_, setUp, failure);
}

void OfficeProcess::KeepSetUpProfile()
{
    // One that the office did not take as set up is replaced.
    CacheSetUpProfile(profileDir_, fromCache_);
    LiveOffices live;
    if (!setUp_ || !setUp_->path_.empty() || live.Ending())
        return;
    setUp_->path_ = CopyOfProfile(profileDir_);
    if (!setUp_->path_.empty())
        live.Keep(setUp_);
}

bool OfficeProcess::Installed()
{
    return access(OfficeProgram, X_OK) == 0;
}

bool OfficeProcess::Command(const std::vector<std::string>& office,
                            std::vector<std::string>& command, SystemFailure& failure)
{
    if (!confinement_.sandbox || !SandboxAvailable()) {
        command = office;
        return true;
    }
    // A folder the sandbox cannot bind keeps the office from starting: say which, and why.
    for (const std::string& folder : confinement_.writableFolders) {
        if (const int error = MakeFolder(folder)) {
            failure = SystemFailureOf("cannot create the folder " + folder, error);
            return false;
        }
    }
    // Where our side of the pipe looks for the office's socket.
    const std::string socket = PipeSocketPrefix(getuid()) + pipeName_;
    std::error_code failed;
    std::filesystem::create_symlink(profileDir_ + "/tmp/" + socket, PipeSocketFolder + "/" + socket,
                                    failed);
    command = SandboxedCommand(office, profileDir_, confinement_);
    return true;
}

bool OfficeProcess::Start(SystemFailure& failure)
{
    if (profileDir_.empty() && !MakeProfile(failure))
        return false;
    if (exitCode_ == RestartExitCode)
        KeepSetUpProfile();

    const std::vector<std::string> office = {
        OfficeProgram,
        "-env:UserInstallation=file://" + profileDir_,
        // No backup of the profile at every quit (compressed copies of its settings, about
        // 20 ms): the profile goes with the office.
        "-env:SecureUserConfig=false",
        "--headless",
        "--invisible",
        "--norestore",
        "--nologo",
        "--nodefault",
        "--nolockcheck",
        "--accept=pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext",
    };
    std::vector<std::string> args;
    if (!Command(office, args, failure))
        return false;
    std::error_code failed;
    const std::string fontConfiguration = FontConfigurationFile(profileDir_);
    const std::vector<std::string> env = OfficeEnvironment(
        profileDir_ + "/tmp",
        std::filesystem::exists(fontConfiguration, failed) ? fontConfiguration : std::string());
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
        failure = SystemFailureOf("cannot start the office", errno);
        return false;
    }
    if (child == 0) {
        // The office must answer the signals that our program blocks or catches.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        // Ignored signals stay ignored across exec; the office gets SIGPIPE as it expects.
        signal(SIGPIPE, SIG_DFL);
        // Its pipe and files are the user's alone, whatever our caller's umask.
        umask(077);
        // The office's own messages (a crash prints its stack) are not the program's output.
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        // Nothing of ours is the office's: an inherited socket would also be taken for one of
        // its own and removed with it.
        close_range(3, ~0U, 0);
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

std::string OfficeProcess::ConnectionDescription() const
{
    return "pipe,name=" + pipeName_;
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
    const std::vector<std::string> found = SocketFilesOf(SocketInodesOf(pid));
    LiveOffices live;
    socketFiles_.insert(socketFiles_.end(), found.begin(), found.end());
}

long long OfficeProcess::ResidentBytes() const
{
    // The office's process group: in the sandbox, the office runs below bubblewrap's processes.
    const long group = pid_;
    if (group <= 0)
        return 0;
    long long pages = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry("/proc", error), end; !error && entry != end;
         entry.increment(error)) {
        std::ifstream stat(entry->path() / "stat");
        std::string line;
        std::getline(stat, line);
        // "pid (name) state ppid pgrp …": the name may hold spaces and parentheses.
        const std::size_t named = line.rfind(')');
        long parent = 0, pgrp = 0;
        char state = 0;
        std::istringstream fields(named == std::string::npos ? std::string()
                                                             : line.substr(named + 1));
        if (!(fields >> state >> parent >> pgrp) || pgrp != group)
            continue;
        long long size = 0, resident = 0;
        std::ifstream statm(entry->path() / "statm");
        if (statm >> size >> resident)
            pages += resident;
    }
    return pages * sysconf(_SC_PAGESIZE);
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
    const bool killed = pid_ > 0;
    if (killed) {
        Kill();
        int status = 0;
        if (waitpid(pid_, &status, 0) == pid_)
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
    }
    RemoveLeftovers();
    // An office killed before its socket files were noted leaves its single-instance socket.
    if (killed)
        RemoveLeftoversOfEndedRuns();
}

bool OfficeProcess::EndAllNow()
{
    LiveOffices live;
    return live.EndAll(
        [](const OfficeProcess& office) {
            const pid_t pid = office.pid_;
            // An office still starting has not had its socket files noted: read them while it
            // lives, keeping only the office's own pipes.
            std::vector<std::string> unnoted;
            if (pid > 0 && office.socketFiles_.empty())
                for (const std::string& path : SocketFilesOf(SocketInodesOf(pid)))
                    if (path.rfind(PipeSocketFolder + "/" + PipeSocketPrefix(getuid()), 0) == 0)
                        unnoted.push_back(path);
            if (pid > 0) {
                // The whole group, and the office itself in case it has not made its group yet.
                kill(-pid, SIGKILL);
                kill(pid, SIGKILL);
                // Dead before its files go, so that it cannot make new ones. Whoever reaps it
                // first (this or its owner's Stop()), it is gone.
                waitpid(pid, nullptr, 0);
            }
            office.RemoveFiles();
            std::error_code ignored;
            for (const std::string& path : unnoted)
                std::filesystem::remove(path, ignored);
        },
        [](SetUpProfile& kept) {
            std::error_code ignored;
            std::filesystem::remove_all(kept.path_, ignored);
            kept.path_.clear();
        });
}

bool OfficeProcess::KillAllNow()
{
    LiveOffices live;
    live.RefuseNew();
    return live.Each([](const OfficeProcess& office) { office.Kill(); });
}

void OfficeProcess::AllowStarts()
{
    LiveOffices live;
    live.AllowNew();
}

void OfficeProcess::RemoveFiles() const
{
    // What cannot be removed is left to the next run's clean-up.
    std::error_code ignored;
    if (!pipeName_.empty())
        std::filesystem::remove(PipeSocketFolder + "/" + PipeSocketPrefix(getuid()) + pipeName_,
                                ignored);
    for (const std::string& path : socketFiles_)
        std::filesystem::remove(path, ignored);
    if (!profileDir_.empty())
        std::filesystem::remove_all(profileDir_, ignored);
}

void OfficeProcess::RemoveLeftovers()
{
    LiveOffices live;
    RemoveFiles();
    live.Remove(this);
    socketFiles_.clear();
    profileDir_.clear();
    pipeName_.clear();
}
