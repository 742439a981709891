#include "common/officeprocesses.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Outcome
{
    int exitCode = -1;
    pid_t pid = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test
{
protected:
    TempFolder folder;

    // Starts the program with stdout and stderr going to files, the stop signals at their
    // defaults and extra environment entries ("NAME=value").
    pid_t Start(std::vector<std::string> args, const std::vector<std::string>& env = {})
    {
        args.insert(args.begin(), QUILLSHEET_CLI);
        std::vector<char*> argv, envp;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        for (char** entry = environ; *entry; ++entry)
            envp.push_back(*entry);
        for (const std::string& entry : env)
            envp.push_back(const_cast<char*>(entry.c_str()));
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, Out().c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, Err().c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&defaults, signal);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0)
            pid = -1;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // Waits for the program to end; exitCode -1 when a signal ended it.
    Outcome Finish(pid_t pid)
    {
        Outcome outcome;
        outcome.pid = pid;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        outcome.out = ReadFile(Out());
        outcome.err = ReadFile(Err());
        return outcome;
    }

    Outcome Cli(std::vector<std::string> args, const std::vector<std::string>& env = {})
    {
        return Finish(Start(std::move(args), env));
    }

    // Waits until the program has printed text on stdout; false after 60 s.
    bool WaitForOutput(const std::string& text)
    {
        for (int i = 0; i < 1200; ++i) {
            if (ReadFile(Out()).find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Ten workbooks in "in", each taking the office a while, and an empty "out".
    void MakeSlowWorkbooks()
    {
        fs::create_directories(folder / "in");
        fs::create_directories(folder / "out");
        for (int i = 0; i < 10; ++i)
            WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"),
                      SpreadsheetMl({{"Data", MarkedRows("ROW", 400)}}));
    }

    std::string Out() const { return folder / "stdout"; }
    std::string Err() const { return folder / "stderr"; }
};

TEST_F(CliTest, BadArgumentsAndMissingFoldersExitWithTwo)
{
    fs::create_directories(folder / "in");
    struct Case
    {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{}, "usage: quillsheet-cli"},
        {{"--no-such-option", folder / "in", folder / "in"}, "no-such-option"},
        {{folder / "in"}, "usage: quillsheet-cli"},
        {{"--beside-source", folder / "in", folder / "in"}, "usage: quillsheet-cli"},
        {{"--timeout", "soon", folder / "in", folder / "in"}, "from 1 to 86400"},
        {{"--timeout", "nan", folder / "in", folder / "in"}, "not \"nan\""},
        {{"--timeout", "1e10", folder / "in", folder / "in"}, "from 1 to 86400"},
        {{"--timeout", "0.0001", folder / "in", folder / "in"}, "from 1 to 86400"},
        {{"--timeout", "0", folder / "in", folder / "in"}, "from 1 to 86400"},
        {{"--timeout", "86401", folder / "in", folder / "in"}, "from 1 to 86400"},
        {{"--timeout", "-5", folder / "in", folder / "in"}, "from 1 to 86400"},
        {{"--timeout", "", folder / "in", folder / "in"}, "from 1 to 86400"},
        // What the program composes from its arguments stays one line.
        {{"--timeout", "1\n\x1b[2J", folder / "in", folder / "in"}, "not \"1\\n\\x1b[2J\"\n"},
        {{"--no\nsuch", folder / "in", folder / "in"}, "no\\nsuch"},
        {{folder / "missing", folder / "in"}, "提取文件夹不存在!"},
        {{folder / "in", folder / "missing"}, "保存文件夹不存在!"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Cli(c.args);
        EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }
}

TEST_F(CliTest, HelpAndVersion)
{
    const Outcome help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"--merge-sheets", "--beside-source", "--timeout", "SOURCE", "OUTPUT"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    const Outcome version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quillsheet-cli 4.0\n");
}

TEST_F(CliTest, PrintsEachStatusThenEveryFailureAndExitsByOutcome)
{
    fs::create_directories(folder / "in/sub");
    fs::create_directories(folder / "out");
    WriteFile(folder / "in/sub/book.xls", SpreadsheetMl({{"Data", MarkedRows("x", 3)}}));
    const Outcome clean = Cli({folder / "in", folder / "out"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_EQ(clean.out, "excel OK!\nWorkBooks OK!\n" + (folder / "in/sub/book.xls") +
                             "\n成功将1个excel文件转换为1个pdf文件。\n");
    EXPECT_TRUE(fs::exists(folder / "out/sub/book(Data).pdf"));

    WriteFile(folder / "in/empty.xlsx", "");
    const Outcome failed =
        Cli({"--merge-sheets", "--beside-source", "--timeout", "30", folder / "in"});
    EXPECT_EQ(failed.exitCode, 1) << failed.err;
    const std::string failure = (folder / "in/empty.xlsx") + ": 文件是空的";
    EXPECT_NE(failed.out.find("成功将1个excel文件转换为1个pdf文件。\n失败1个：\n" + failure + "\n" +
                              failure + "\n"),
              std::string::npos)
        << failed.out;
    EXPECT_TRUE(fs::exists(folder / "in/sub/book.pdf"));
    EXPECT_EQ(OfficesOfThisProcess(clean.pid), 0);
    EXPECT_EQ(OfficesOfThisProcess(failed.pid), 0);
}

TEST_F(CliTest, TimeLimitsAtTheEndsOfTheRangeAreTakenBadVariablesToldOnce)
{
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "out");
    WriteFile(folder / "in/book.xls", SpreadsheetMl({{"Data", MarkedRows("x", 3)}}));
    for (const char* seconds : {"86400", "30.5"}) {
        const Outcome outcome = Cli({"--timeout", seconds, folder / "in", folder / "out"});
        EXPECT_EQ(outcome.exitCode, 0) << seconds << outcome.err;
    }
    // One second may be too short for the office to start on a busy machine: then the run
    // fails, but the limit is taken.
    const Outcome shortest = Cli({"--timeout", "1", folder / "in", folder / "out"});
    EXPECT_NE(shortest.exitCode, 2) << shortest.err;
    EXPECT_EQ(shortest.err.find("--timeout"), std::string::npos) << shortest.err;
    const std::string told = "QUILLSHEET_CALL_TIMEOUT is not a number of seconds from 1 to 86400; "
                             "using 120 s\n";
    for (const char* value : {"1e10", "abc"}) {
        const Outcome outcome = Cli({"--merge-sheets", folder / "in", folder / "out"},
                                    {std::string("QUILLSHEET_CALL_TIMEOUT=") + value});
        EXPECT_EQ(outcome.exitCode, 0) << value << outcome.err;
        EXPECT_EQ(outcome.err.find(told), outcome.err.rfind(told)) << value << outcome.err;
        EXPECT_NE(outcome.err.find(told), std::string::npos) << value << outcome.err;
    }
    const Outcome good = Cli({folder / "in", folder / "out"}, {"QUILLSHEET_CALL_TIMEOUT=30"});
    EXPECT_EQ(good.err.find("QUILLSHEET_CALL_TIMEOUT"), std::string::npos) << good.err;
}

TEST_F(CliTest, AStopSignalEndsTheRunAfterTheWorkbookInWorkAndSaysSo)
{
    MakeSlowWorkbooks();
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        fs::remove_all(folder / "out");
        fs::create_directories(folder / "out");
        const pid_t pid = Start({folder / "in", folder / "out"});
        ASSERT_TRUE(WaitForOutput(folder / "in/book"));
        const std::set<std::string> sockets = OfficeSocketsOf(pid);
        EXPECT_EQ(sockets.size(), 2u) << "the office's pipe and single-instance socket";
        kill(pid, signal);
        const Outcome outcome = Finish(pid);
        EXPECT_EQ(outcome.exitCode, 128 + signal) << strsignal(signal) << outcome.err;
        int pdfs = 0;
        for (const auto& entry : fs::directory_iterator(folder / "out"))
            pdfs += entry.path().extension() == ".pdf";
        EXPECT_GE(pdfs, 1);
        EXPECT_LT(pdfs, 10);
        const std::string summary = "成功将" + std::to_string(pdfs) + "个excel文件转换为" +
                                    std::to_string(pdfs) + "个pdf文件。\n";
        const std::string stopped =
            "转换已中止：" + std::to_string(10 - pdfs) + "个excel文件未转换。\n";
        EXPECT_NE(outcome.out.find(summary + stopped), std::string::npos) << outcome.out;
        EXPECT_EQ(OfficesOfThisProcess(pid), 0);
        EXPECT_TRUE(OfficeFilesOf(pid).empty());
        EXPECT_TRUE(Existing(sockets).empty());
    }
}

TEST_F(CliTest, ASecondSignalEndsTheProgramAtOnceWithoutLeftovers)
{
    MakeSlowWorkbooks();
    const pid_t pid = Start({folder / "in", folder / "out"});
    ASSERT_TRUE(WaitForOutput(folder / "in/book0.xls"));
    const std::set<std::string> sockets = OfficeSocketsOf(pid);
    EXPECT_EQ(sockets.size(), 2u) << "the office's pipe and single-instance socket";
    kill(pid, SIGTERM);
    kill(pid, SIGINT);
    const Outcome outcome = Finish(pid);
    EXPECT_EQ(outcome.exitCode, 128 + SIGINT) << outcome.err;
    EXPECT_EQ(outcome.out.find("成功将"), std::string::npos) << outcome.out;
    EXPECT_EQ(OfficesOfThisProcess(pid), 0);
    EXPECT_TRUE(OfficeFilesOf(pid).empty());
    EXPECT_TRUE(Existing(sockets).empty());
}

// What a killed run leaves is removed by the next run; what belongs to a live process or another
// user is not.
TEST_F(CliTest, ARunRemovesWhatKilledRunsLeftAndNothingElse)
{
    MakeSlowWorkbooks();
    const pid_t killed = Start({folder / "in", folder / "out"});
    ASSERT_TRUE(WaitForOutput(folder / "in/book0.xls"));
    const std::set<std::string> sockets = OfficeSocketsOf(killed);
    kill(killed, SIGKILL);
    Finish(killed);
    for (int i = 0; i < 100 && OfficesOfThisProcess(killed) > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::vector<std::string> leftovers = OfficeFilesOf(killed);
    ASSERT_EQ(leftovers.size(), 2u) << "a profile folder and a pipe socket";
    ASSERT_EQ(Existing(sockets).size(), 2u) << "the pipe and the single-instance socket";

    const std::string uid = std::to_string(getuid());
    const std::string live = "/tmp/quillsheet-office-" + std::to_string(getpid()) + "-test";
    const std::string livePipe =
        "/tmp/OSL_PIPE_" + uid + "_quillsheet" + std::to_string(getpid()) + "_test";
    const std::string othersPipe =
        "/tmp/OSL_PIPE_" + uid + "_quillsheet" + std::to_string(killed) + "_others";
    const std::string othersProfile =
        "/tmp/quillsheet-office-" + std::to_string(killed) + "-others";
    const std::string listening = "/tmp/OSL_PIPE_" + uid + "_SingleOfficeIPC_quillsheettest";
    fs::create_directories(live + "/user");
    fs::create_directories(othersProfile);
    const int livePipeSocket = BindSocket(livePipe, false);
    const int othersSocket = BindSocket(othersPipe, false);
    const int listener = BindSocket(listening, true);
    ASSERT_TRUE(livePipeSocket >= 0 && othersSocket >= 0 && listener >= 0);
    const bool asRoot = getuid() == 0;
    if (asRoot) {
        ASSERT_EQ(chown(othersProfile.c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(othersPipe.c_str(), 65534, 65534), 0);
    }

    fs::remove_all(folder / "out");
    fs::create_directories(folder / "out");
    fs::remove_all(folder / "in");
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/book.xls", SpreadsheetMl({{"Data", MarkedRows("x", 3)}}));
    const Outcome next = Cli({folder / "in", folder / "out"});
    EXPECT_EQ(next.exitCode, 0) << next.err;
    for (const std::string& leftover : leftovers)
        EXPECT_FALSE(fs::exists(leftover)) << leftover;
    EXPECT_TRUE(Existing(sockets).empty());
    EXPECT_TRUE(fs::exists(live + "/user"));
    EXPECT_TRUE(fs::exists(livePipe));
    EXPECT_TRUE(fs::exists(listening));
    if (asRoot) {
        EXPECT_TRUE(fs::exists(othersProfile));
        EXPECT_TRUE(fs::exists(othersPipe));
    }
    for (const int socket : {livePipeSocket, othersSocket, listener})
        close(socket);
    for (const std::string& made : {live, othersProfile, livePipe, othersPipe, listening})
        fs::remove_all(made);
}

TEST_F(CliTest, NamesWithLineBreaksAndEscapeBytesStayOnTheirLine)
{
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "out");
    WriteFile(folder / "in/bad\nname\x1b[31m.xlsx", "");
    const Outcome outcome = Cli({folder / "in", folder / "out"});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_EQ(outcome.out.find('\x1b'), std::string::npos) << outcome.out;
    const std::string shown = folder / "in/bad\\nname\\x1b[31m.xlsx";
    EXPECT_EQ(outcome.out.rfind("excel OK!\nWorkBooks OK!\n" + shown + "\n成功将0个", 0), 0u)
        << outcome.out;
    EXPECT_NE(outcome.out.find("\n" + shown + ": 文件是空的\n"), std::string::npos) << outcome.out;
}

} // namespace
