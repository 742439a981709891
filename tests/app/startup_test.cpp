#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The program started as a real process from a copy under a chosen file name. The copy prints
// one line once its event loop runs: what start-up showed.
class Started
{
public:
    Started(const std::string& executable, const std::vector<std::string>& args)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        std::vector<char*> argv{const_cast<char*>(executable.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output = out[0];
    }
    ~Started()
    {
        if (pid > 0 && !ended) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (output >= 0)
            close(output);
    }

    // The line the program printed, or "" when it ended (or 30 s passed) without one.
    std::string Line()
    {
        std::string line;
        pollfd readable{output, POLLIN, 0};
        while (poll(&readable, 1, 30000) == 1) {
            char c;
            if (read(output, &c, 1) != 1 || c == '\n')
                break;
            line += c;
        }
        return line;
    }

    // The exit code once the program has ended by itself; -1 when a signal ended it.
    int ExitCode()
    {
        int status = 0;
        waitpid(pid, &status, 0);
        ended = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    bool Running() { return !ended && waitpid(pid, nullptr, WNOHANG) == 0; }

private:
    pid_t pid = -1;
    int output = -1;
    bool ended = false;
};

class StartupTest : public ::testing::Test
{
protected:
    TempFolder folder;

    std::string CopyAs(const std::string& name)
    {
        fs::create_directories(folder / name + ".d");
        const std::string path = folder / (name + ".d/" + name);
        fs::copy_file(STARTUP_PROBE, path);
        return path;
    }
};

TEST_F(StartupTest, OnlyTheExactFirstArgumentAutorunHidesTheWindow)
{
    const std::string program = CopyAs("Quillsheet");
    struct Case
    {
        std::vector<std::string> args;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {{}, "window shown, tray shown"},
        {{"-autorun"}, "window hidden, tray shown"},
        {{"-AUTORUN"}, "window shown, tray shown"},
        {{"-autorunx"}, "window shown, tray shown"},
        {{"-autorun", "-more"}, "window hidden, tray shown"},
        {{"-x", "-autorun"}, "window shown, tray shown"},
        {{"-autorun" + std::string(40, ' ')}, "window shown, tray shown"},
    };
    for (const Case& c : cases) {
        Started copy(program, c.args);
        EXPECT_EQ(copy.Line(), c.expected) << (c.args.empty() ? "" : c.args[0]);
    }
}

TEST_F(StartupTest, ASecondCopyEndsItselfAndTheFirstRunsOn)
{
    const std::string program = CopyAs("Quillsheet");
    Started first(program, {"-autorun"});
    ASSERT_EQ(first.Line(), "window hidden, tray shown");

    Started second(program, {});
    EXPECT_EQ(second.Line(), "");
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_TRUE(first.Running());

    // Under another file name it is not seen as a second copy.
    Started renamed(CopyAs("Quillsheet-copy"), {});
    EXPECT_EQ(renamed.Line(), "window shown, tray shown");
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(renamed.Running());
}

} // namespace
