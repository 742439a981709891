#include "automation/officesandbox.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const char* const Bubblewrap = "/usr/bin/bwrap";

bool Within(const std::string& path, const std::string& folder)
{
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            (folder.back() == '/' || path[folder.size()] == '/'));
}

// The namespaces and the system's read-only parts: enough to run a program of /usr.
std::vector<std::string> SystemSandbox()
{
    std::vector<std::string> args = {Bubblewrap,
                                     "--unshare-all",
                                     "--die-with-parent",
                                     "--cap-drop",
                                     "ALL",
                                     "--ro-bind",
                                     "/usr",
                                     "/usr",
                                     "--ro-bind",
                                     "/etc",
                                     "/etc",
                                     "--ro-bind-try",
                                     "/var/cache/fontconfig",
                                     "/var/cache/fontconfig"};
    // The office checks the signatures of every workbook it loads, and each office starts
    // GnuPG's programs five times for that (about 30 ms of CPU): printing needs no signature, and
    // a hostile workbook's signature then reaches no gpg.
    for (const char* gnupg : {"/usr/bin/gpgconf", "/usr/bin/gpg", "/usr/bin/gpgsm"}) {
        std::error_code error;
        if (fs::exists(gnupg, error))
            args.insert(args.end(), {"--ro-bind", "/dev/null", gnupg});
    }
    // On a merged /usr these are links into it.
    for (const char* top : {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"}) {
        std::error_code error;
        if (fs::is_symlink(top, error))
            args.insert(args.end(), {"--symlink", fs::read_symlink(top, error).string(), top});
        else if (fs::is_directory(top, error))
            args.insert(args.end(), {"--ro-bind", top, top});
    }
    const std::string office = fs::path(LO_PROGRAM_DIR).parent_path().string();
    if (!Within(office, "/usr"))
        args.insert(args.end(), {"--ro-bind-try", office, office});
    // The user's own fonts print as they would in the office outside.
    if (const char* home = std::getenv("HOME"); home && *home)
        for (const char* fonts : {"/.fonts", "/.local/share/fonts"})
            args.insert(args.end(),
                        {"--ro-bind-try", std::string(home) + fonts, std::string(home) + fonts});
    args.insert(args.end(), {"--proc", "/proc", "--dev", "/dev", "--chdir", "/"});
    return args;
}

// Runs a trivial program in the sandbox: empty when it ran, else what stood in its way.
std::string TrySandbox()
{
    if (access(Bubblewrap, X_OK) != 0)
        return "bubblewrap (" + std::string(Bubblewrap) + ") is not installed";
    std::vector<std::string> args = SystemSandbox();
    args.push_back("/usr/bin/true");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int messages[2];
    if (pipe2(messages, O_CLOEXEC) != 0)
        return "cannot try bubblewrap";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, messages[1], STDERR_FILENO);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, Bubblewrap, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(messages[1]);
    std::string said;
    char buffer[512];
    for (ssize_t got; (got = read(messages[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(got));
    close(messages[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child)
        return "cannot start bubblewrap";
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::string();
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r'))
        said.pop_back();
    return said.empty() ? "bubblewrap failed" : said;
}

} // namespace

const std::string& SandboxProblem()
{
    static const std::string problem = TrySandbox();
    return problem;
}

bool SandboxAvailable()
{
    static std::once_flag told;
    const std::string& why = SandboxProblem();
    if (!why.empty())
        std::call_once(told, [&why] {
            std::fprintf(stderr, "%s\n",
                         QCoreApplication::translate(
                             "OfficeSandbox", "注意：办公软件在沙箱之外运行（%1）：转换中的工作簿能"
                                              "读取本机的文件，也能访问网络。")
                             .arg(QString::fromStdString(why))
                             .toUtf8()
                             .constData());
        });
    return why.empty();
}

std::vector<std::string> SandboxedCommand(const std::vector<std::string>& office,
                                          const std::string& profileFolder,
                                          const OfficeConfinement& confinement)
{
    std::vector<std::string> args = SystemSandbox();
    // Mounted parents first; the profile's tmp/ is the office's /tmp, so that its pipe is
    // private and reachable through the link that its starter makes in the real one.
    std::map<std::string, std::pair<std::string, bool>> mounts; // at: from, writable
    mounts["/tmp"] = {profileFolder + "/tmp", true};
    mounts[profileFolder] = {profileFolder, true};
    std::vector<std::pair<std::string, std::string>> links; // named path: its real path
    const auto add = [&](const std::string& folder, bool writable) {
        std::error_code error;
        const std::string real = fs::canonical(folder, error).string();
        if (error || real == "/")
            return;
        auto& mount = mounts[real];
        mount = {real, mount.second || writable};
        // As the user named it, without the separator that a picked folder ends with.
        std::string named = fs::path(folder).lexically_normal().string();
        while (named.size() > 1 && named.back() == '/')
            named.pop_back();
        if (named != real)
            links.emplace_back(named, real);
    };
    for (const std::string& folder : confinement.readableFolders)
        add(folder, false);
    for (const std::string& folder : confinement.writableFolders)
        add(folder, true);
    for (const auto& [at, mount] : mounts)
        args.insert(args.end(), {mount.second ? "--bind" : "--ro-bind", mount.first, at});
    // A folder named through a link is reached through the same link, unless a folder mounted
    // as itself shows that link already, or an earlier start of the office (on a fresh profile
    // it starts twice) left it in the profile's tmp/.
    for (const auto& [named, real] : links) {
        std::error_code error;
        if (std::none_of(mounts.begin(), mounts.end(),
                         [&](const auto& mount) {
                             return mount.first == mount.second.first &&
                                    mount.first != profileFolder && Within(named, mount.first);
                         }) &&
            !(Within(named, "/tmp") &&
              fs::is_symlink(profileFolder + "/tmp" + named.substr(4), error)))
            args.insert(args.end(), {"--symlink", real, named});
    }
    args.insert(args.end(), {"--setenv", "HOME", profileFolder, "--"});
    args.insert(args.end(), office.begin(), office.end());
    return args;
}
