#include "common/officeprocesses.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
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
    // env: entries ("NAME=value") that add to or replace ours.
    Started(const std::string& executable, const std::vector<std::string>& args,
            const std::vector<std::string>& env = {})
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        std::vector<char*> argv{const_cast<char*>(executable.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (char** entry = environ; *entry; ++entry) {
            const std::string item = *entry;
            bool replaced = false;
            for (const std::string& given : env)
                replaced = replaced ||
                           item.compare(0, given.find('=') + 1, given, 0, given.find('=') + 1) == 0;
            if (!replaced)
                envp.push_back(*entry);
        }
        for (const std::string& entry : env)
            envp.push_back(const_cast<char*>(entry.c_str()));
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
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
    pid_t Pid() const { return pid; }

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

    // A copy of the program whose settings name ten workbooks, each taking the office a while,
    // and an empty output folder.
    std::string CopyWithSlowRun()
    {
        const std::string program = CopyAs("quillsheet-window");
        fs::create_directories(folder / "in");
        fs::create_directories(folder / "out");
        for (int i = 0; i < 10; ++i)
            WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"),
                      SpreadsheetMl({{"Data", MarkedRows("ROW", 400)}}));
        WriteFile(folder / "quillsheet-window.d/Quillsheet.qlx",
                  "SourcePath=" + (folder / "in") + "\r\nSavePath=" + (folder / "out") + "\r\n");
        return program;
    }

    int Pdfs()
    {
        int pdfs = 0;
        for (const auto& entry : fs::directory_iterator(folder / "out"))
            pdfs += entry.path().extension() == ".pdf";
        return pdfs;
    }

    // Waits until the run has written its first PDF: it is then in the middle of its list.
    bool WaitForMidRun()
    {
        for (int i = 0; i < 1200 && Pdfs() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return Pdfs() > 0;
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

// SIGTERM (as at a logout) quits the window as its quit entry does: the run stops after the
// workbook in work and its office quits.
TEST_F(StartupTest, ASignalQuitsTheWindowAfterTheWorkbookInWork)
{
    const std::string program = CopyWithSlowRun();
    Started window(program, {}, {"QUILLSHEET_PROBE_CONVERT=1"});
    ASSERT_EQ(window.Line(), "window shown, tray shown");
    ASSERT_TRUE(WaitForMidRun());
    const std::set<std::string> sockets = OfficeSocketsOf(window.Pid());
    kill(window.Pid(), SIGTERM);
    EXPECT_EQ(window.ExitCode(), 0);
    EXPECT_LT(Pdfs(), 10);
    EXPECT_EQ(OfficesOfThisProcess(window.Pid()), 0);
    EXPECT_TRUE(OfficeFilesOf(window.Pid()).empty());
    EXPECT_EQ(sockets.size(), 2u) << "the office's pipe and single-instance socket";
    EXPECT_TRUE(Existing(sockets).empty());
}

// Qt ends the program with exit(1) when its X display goes away; the run's office and files go
// with it, and nothing crashes.
TEST_F(StartupTest, LosingTheDisplayMidRunEndsTheOfficeAndTheProgram)
{
    ASSERT_TRUE(fs::exists("/usr/bin/Xvfb")) << "scripts/install-deps.sh installs xvfb";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const std::string displayFd = std::to_string(ready[1]);
    const char* const xvfbArgs[] = {"Xvfb",      "-displayfd", displayFd.c_str(),
                                    "-nolisten", "tcp",        nullptr};
    pid_t xvfb = -1;
    ASSERT_EQ(posix_spawn(&xvfb, "/usr/bin/Xvfb", nullptr, nullptr,
                          const_cast<char* const*>(xvfbArgs), environ),
              0);
    close(ready[1]);
    std::string display;
    char c;
    while (read(ready[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(ready[0]);
    ASSERT_FALSE(display.empty());

    const std::string program = CopyWithSlowRun();
    Started window(program, {},
                   {"QUILLSHEET_PROBE_CONVERT=1", "DISPLAY=:" + display, "QT_QPA_PLATFORM=xcb"});
    const std::string shown = window.Line();
    const bool midRun = WaitForMidRun();
    const std::set<std::string> sockets = OfficeSocketsOf(window.Pid());
    kill(xvfb, SIGKILL);
    waitpid(xvfb, nullptr, 0);
    ASSERT_EQ(shown, "window shown, tray shown");
    ASSERT_TRUE(midRun);
    EXPECT_EQ(window.ExitCode(), 1);
    EXPECT_LT(Pdfs(), 10);
    EXPECT_EQ(OfficesOfThisProcess(window.Pid()), 0);
    EXPECT_TRUE(OfficeFilesOf(window.Pid()).empty());
    EXPECT_EQ(sockets.size(), 2u) << "the office's pipe and single-instance socket";
    EXPECT_TRUE(Existing(sockets).empty());
}

} // namespace
