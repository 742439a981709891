#include "automation/officesandbox.h"

#include "common/loopbacklistener.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The exit code of a shell command run as a sandboxed office would be.
int InSandbox(const std::string& command, const std::string& profile,
              const OfficeConfinement& confinement)
{
    std::vector<std::string> args =
        SandboxedCommand({"/bin/sh", "-c", command}, profile, confinement);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    int status = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
        waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A sandboxed office reads the source tree (also by the linked name the user gave it), writes
// only the output folder and its profile, whose tmp/ is its /tmp, and reaches nothing else: not
// the folders beside them, not the rest of the temporary folder, not the network.
TEST(OfficeSandbox, ReachesItsFoldersAndNothingElse)
{
    if (!SandboxAvailable())
        OPTIONAL_SKIP("this machine allows no namespaces for a sandbox");
    TempFolder folder;
    const fs::path source = folder.path() / "source", output = folder.path() / "output",
                   named = folder.path() / "named", profile = folder.path() / "profile";
    for (const fs::path& made : {source / "sub", output, profile / "tmp", folder.path() / "beside"})
        fs::create_directories(made);
    std::ofstream(source / "sub" / "book.xlsx") << "book";
    std::ofstream(folder.path() / "beside" / "secret.xlsx") << "secret";
    fs::create_directory_symlink(source, named);
    OfficeConfinement confinement;
    confinement.sandbox = true;
    // As the window names folders, with a trailing separator.
    confinement.readableFolders = {named.string() + "/"};
    confinement.writableFolders = {output.string() + "/"};
    LoopbackListener listener;
    ASSERT_NE(listener.Port(), 0);
    const std::string connect = "/usr/bin/python3 -c 'import socket; "
                                "socket.create_connection((\"127.0.0.1\", " +
                                std::to_string(listener.Port()) + "), 2)'";
    const std::pair<std::string, bool> cases[] = {
        {"cat '" + (named / "sub/book.xlsx").string() + "'", true},
        {"cat '" + (source / "sub/book.xlsx").string() + "'", true},
        {"touch '" + (named / "new").string() + "'", false},
        {"touch '" + (output / "sub.pdf").string() + "'", true},
        {"touch '" + (profile / "settings").string() + "'", true},
        {"touch /tmp/made && test -e '" + (profile / "tmp/made").string() + "'", true},
        {"cat '" + (folder.path() / "beside/secret.xlsx").string() + "'", false},
        {"ls '" + folder.path().string() + "' | grep -q beside", false},
        {"touch /usr/new || touch /etc/new", false},
        {"/usr/bin/gpgconf --list-dirs || /usr/bin/gpg --version", false},
        {connect, false},
    };
    for (const auto& [command, allowed] : cases) {
        SCOPED_TRACE(command);
        EXPECT_EQ(InSandbox("(" + command + ") >/dev/null 2>&1", profile.string(), confinement) ==
                      0,
                  allowed);
    }
    EXPECT_TRUE(fs::exists(output / "sub.pdf"));
    EXPECT_FALSE(fs::exists(source / "new"));
    EXPECT_EQ(listener.Connections(), 0);
    // The same connection from outside the sandbox is counted.
    EXPECT_EQ(std::system((connect + " 2>/dev/null").c_str()), 0);
    for (int wait = 0; wait < 100 && listener.Connections() == 0; ++wait)
        usleep(10000);
    EXPECT_EQ(listener.Connections(), 1);
}

} // namespace
