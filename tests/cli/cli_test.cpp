#include "common/officeprocesses.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
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

    Outcome Cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), QUILLSHEET_CLI);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        const std::string out = folder / "stdout", err = folder / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        Outcome outcome;
        int status = 0;
        if (posix_spawn(&outcome.pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
            waitpid(outcome.pid, &status, 0) == outcome.pid && WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        posix_spawn_file_actions_destroy(&actions);
        outcome.out = ReadFile(out);
        outcome.err = ReadFile(err);
        return outcome;
    }
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
        {{"--timeout", "soon", folder / "in", folder / "in"}, "--timeout"},
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

} // namespace
