#include "automation/officenames.h"
#include "cli/clitest.h"
#include "common/fullfilesystem.h"
#include "common/officeprocesses.h"
#include "common/pdf.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the program answers before it starts an office: the quick tests of the command line.
using CliArgumentsTest = CliTest;

TEST_F(CliArgumentsTest, BadArgumentsAndMissingFoldersExitWithTwo)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "a-file", "x");
    struct Case
    {
        std::vector<std::string> args;
        std::string message;
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
        {{folder / "in", folder / "a-file"}, "保存文件夹是一个文件"},
        {{folder / "in", folder / "a-file/out"},
         "无法创建保存文件夹：" + folder / "a-file/out" + "：Not a directory"},
        // A read-only file system, which refuses even root: known before any office starts.
        {{folder / "in", "/proc"}, "保存文件夹无法写入：/proc："},
        {{"--jobs", "0", folder / "in", folder / "out"},
         "--jobs takes a whole number from 1 to 64"},
        {{"--jobs", "65", folder / "in", folder / "out"}, "not \"65\""},
        {{"--jobs", "two", folder / "in", folder / "out"}, "not \"two\""},
        {{"--shard", "0/3", folder / "in", folder / "out"}, "--shard takes K/N"},
        {{"--shard", "4/3", folder / "in", folder / "out"}, "not \"4/3\""},
        {{"--shard", "1", folder / "in", folder / "out"}, "not \"1\""},
        {{"--workbook-timeout", "0", folder / "in", folder / "out"},
         "--workbook-timeout takes a number of seconds from 1 to 86400"},
        {{"--workbook-timeout", "86401", folder / "in", folder / "out"}, "not \"86401\""},
        {{"--max-memory", "0.05", folder / "in", folder / "out"},
         "--max-memory takes a number of GB from 0.1 to 1024"},
        {{"--max-memory", "nan", folder / "in", folder / "out"}, "not \"nan\""},
        {{"--max-memory", "2000", folder / "in", folder / "out"}, "not \"2000\""},
        {{"--stop-grace", "-1", folder / "in", folder / "out"},
         "--stop-grace takes a number of seconds from 0 to 86400"},
        {{"--stop-grace", "86401", folder / "in", folder / "out"}, "not \"86401\""},
        {{"--stop-grace", "nan", folder / "in", folder / "out"}, "not \"nan\""},
        {{"--stop-grace", "soon", folder / "in", folder / "out"}, "not \"soon\""},
        // Known before anything is converted: a report that could not be written at the end.
        {{"--report", folder / "in", folder / "in", folder / "out"}, "报告无法写出："},
        {{"--report", folder / "a-file/r.json", folder / "in", folder / "out"}, "报告无法写出："},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Cli(c.args);
        EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }
}

// An unusable temporary folder is refused before anything is made, the output folder included.
TEST_F(CliArgumentsTest, AnUnusableTemporaryFolderIsRefusedBeforeAnythingIsMade)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/a.xlsx", "x");
    WriteFile(folder / "a-file", "x");
    const std::string tmpdirIs = "临时文件夹不可用：TMPDIR=\"";
    struct Case
    {
        std::string tmpdir;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {"", "\"：是空的"},
        {"reltmp", "\"：不是绝对路径"},
        {folder / "missing", "\"：不存在"},
        {folder / "a-file", "\"：不是文件夹"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tmpdir);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{folder / "in", folder / "out"},
              std::vector<std::string>{"--beside-source", folder / "in"}}) {
            const Outcome outcome = Cli(args, {"TMPDIR=" + c.tmpdir});
            EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
            EXPECT_EQ(outcome.err, tmpdirIs + c.tmpdir + c.problem + "\n");
            EXPECT_TRUE(outcome.out.empty());
            EXPECT_FALSE(fs::exists(folder / "out"));
            EXPECT_EQ(std::distance(fs::directory_iterator(folder / "in"), {}), 1);
        }
    }
}

// English-speaking users get the English translation; Chinese-speaking ones, and everyone whose
// language the program does not speak, the texts as written. LANGUAGE, LC_ALL and LC_MESSAGES
// rank before LANG, as Qt reads them.
TEST_F(CliArgumentsTest, MessagesSpeakTheUsersLanguage)
{
    fs::create_directories(folder / "in");
    const std::string missing = folder / "missing";
    const struct
    {
        std::vector<std::string> env;
        bool english;
    } cases[] = {
        {Speaking("C"), false},
        {Speaking("zh_CN.UTF-8"), false},
        {Speaking("de_DE.UTF-8"), false},
        {Speaking("en_US.UTF-8"), true},
        {{"LANG=de_DE.UTF-8", "LANGUAGE=fr:en", "LC_ALL=", "LC_MESSAGES="}, true},
        {{"LANG=zh_CN.UTF-8", "LANGUAGE=", "LC_ALL=en_US.UTF-8", "LC_MESSAGES="}, true},
        {{"LANG=en_US.UTF-8", "LANGUAGE=", "LC_ALL=", "LC_MESSAGES=zh_CN.UTF-8"}, false},
    };
    for (const auto& [env, english] : cases) {
        SCOPED_TRACE(env[0] + " " + env[1] + " " + env[2] + " " + env[3]);
        EXPECT_EQ(Cli({missing, folder / "out"}, env).err,
                  english ? "The source folder does not exist!\n" : "提取文件夹不存在!\n");
        std::vector<std::string> relativeTmpdir = env;
        relativeTmpdir.push_back("TMPDIR=reltmp");
        EXPECT_EQ(Cli({folder / "in", folder / "out"}, relativeTmpdir).err,
                  english ? "Temporary folder unusable: TMPDIR=\"reltmp\" is not an absolute path\n"
                          : "临时文件夹不可用：TMPDIR=\"reltmp\"：不是绝对路径\n");
    }
}

TEST_F(CliArgumentsTest, HelpAndVersion)
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
    // The output folder is made, with its parents, when it is missing.
    fs::create_directories(folder / "in/sub");
    WriteFile(folder / "in/sub/book.xls", SpreadsheetMl({{"Data", MarkedRows("x", 3)}}));
    const Outcome clean = Cli({folder / "in", folder / "out/new/deeper"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_EQ(clean.out, "excel OK!\nWorkBooks OK!\n" + (folder / "in/sub/book.xls") +
                             "\n成功将1个excel文件转换为1个pdf文件。\n");
    EXPECT_TRUE(fs::exists(folder / "out/new/deeper/sub/book(Data).pdf"));

    WriteFile(folder / "in/empty.xlsx", "");
    const Outcome failed =
        Cli({"--merge-sheets", "--beside-source", "--timeout", "30", folder / "in"});
    EXPECT_EQ(failed.exitCode, 1) << failed.err;
    const std::string failure = (folder / "in/empty.xlsx") + ": 文件是空的";
    EXPECT_NE(failed.out.find("成功将1个excel文件转换为1个pdf文件。\n失败1个：\n" + failure +
                              "\n全部失败：\n" + failure + "\n"),
              std::string::npos)
        << failed.out;
    EXPECT_TRUE(fs::exists(folder / "in/sub/book.pdf"));
    EXPECT_EQ(OfficesOfThisProcess(clean.pid), 0);
    EXPECT_EQ(OfficesOfThisProcess(failed.pid), 0);

    // Past five failures the summary names the first five and the full list follows it, so
    // the summary does not count the rest as unlisted.
    std::vector<std::string> failures = {failure};
    for (int i = 2; i <= 7; ++i) {
        WriteFile(folder / ("in/empty" + std::to_string(i) + ".xlsx"), "");
        failures.push_back((folder / ("in/empty" + std::to_string(i) + ".xlsx")) + ": 文件是空的");
    }
    const Outcome many = Cli({"--quiet", "--merge-sheets", "--beside-source", folder / "in"});
    EXPECT_EQ(many.exitCode, 1) << many.err;
    std::string expected = "成功将1个excel文件转换为1个pdf文件。\n失败7个：\n";
    for (int i = 0; i < 5; ++i)
        expected += failures[i] + "\n";
    expected += "全部失败：\n";
    for (const std::string& line : failures)
        expected += line + "\n";
    EXPECT_EQ(many.out, expected);
}

// A full output disk is told as such with one office or two, whatever each office says of it
// (two offices reported "General Code:13"); no file left is told apart from no space.
TEST_F(CliTest, AFullDiskSaysSoWithOneOrTwoOffices)
{
    fs::create_directories(folder / "in");
    for (const char* name : {"a.xls", "b.xls"})
        WriteFile(folder / (std::string("in/") + name),
                  SpreadsheetMl({{"Data", MarkedRows("x", 3)}}));
    const struct
    {
        FullFileSystem::Exhausted what;
        std::string reason;
    } cases[] = {
        {FullFileSystem::Exhausted::Space, "磁盘已满"},
        {FullFileSystem::Exhausted::Files, "磁盘已满（文件数已达上限）"},
    };
    for (const auto& [what, reason] : cases) {
        for (const char* jobs : {"1", "2"}) {
            SCOPED_TRACE(reason + ", --jobs " + jobs);
            fs::create_directories(folder / "out");
            const FullFileSystem full(folder / "out", what);
            if (!full.Mounted())
                OPTIONAL_SKIP("mounting a small file system needs root");
            const Outcome outcome = Cli({"--jobs", jobs, folder / "in", folder / "out"});
            EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
            for (const char* name : {"a.xls", "b.xls"})
                EXPECT_NE(outcome.out.find(folder / (std::string("in/") + name) +
                                           "(Data): " + reason + "\n"),
                          std::string::npos)
                    << outcome.out;
        }
    }
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
    const std::pair<int, const char*> cases[] = {
        {SIGINT, "1"}, {SIGTERM, "1"}, {SIGHUP, "1"}, {SIGINT, "2"}};
    for (const auto& [signal, jobs] : cases) {
        SCOPED_TRACE(std::string(strsignal(signal)) + ", --jobs " + jobs);
        fs::remove_all(folder / "out");
        fs::create_directories(folder / "out");
        const std::string report = folder / "report.json";
        const pid_t pid =
            Start({"--jobs", jobs, "--report", report, folder / "in", folder / "out"});
        ASSERT_TRUE(WaitForOutput(folder / "in/book"));
        const std::set<std::string> sockets = OfficeSocketsOf(pid);
        EXPECT_GE(sockets.size(), 2u) << "each office's pipe and single-instance socket";
        kill(pid, signal);
        const Outcome outcome = Finish(pid);
        EXPECT_EQ(outcome.exitCode, 128 + signal) << outcome.err;
        const int pdfs = static_cast<int>(Pdfs(folder / "out").size());
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
        // The report is written for a stopped run too, and says so.
        ExpectStoppedReport(report, 10 - pdfs);
    }
}

// A stop signal while the office hangs in a call ends the run once the grace has passed, within
// 3 s more, as the window's forced stop does: the report is written, says the run stopped and
// names the workbooks cut off as not converted, and no office or file of one is left.
TEST_F(CliTest, AStopSignalEndsARunWhoseOfficeHangsWithinItsGrace)
{
    MakeSlowWorkbooks();
    const std::pair<const char*, double> graces[] = {{nullptr, 5}, {"0", 0}, {"1.5", 1.5}};
    for (const auto& [grace, graceS] : graces) {
        SCOPED_TRACE(grace ? std::string("--stop-grace ") + grace : "the default grace");
        fs::remove_all(folder / "out");
        fs::create_directories(folder / "out");
        const std::string report = folder / "report.json";
        std::vector<std::string> args = {"--jobs", "1",           "--report",
                                         report,   folder / "in", folder / "out"};
        if (grace)
            args.insert(args.begin(), {"--stop-grace", grace});
        const pid_t pid = Start(args);
        ASSERT_TRUE(WaitForOutput(folder / "in/book"));
        const std::set<std::string> sockets = OfficeSocketsOf(pid);
        const std::vector<fs::path> offices = OfficeProcessesOf(pid);
        ASSERT_EQ(offices.size(), 1u);
        kill(static_cast<pid_t>(std::stol(offices[0].filename().string())), SIGSTOP);
        const auto signalled = std::chrono::steady_clock::now();
        kill(pid, SIGTERM);
        const Outcome outcome = Finish(pid);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count();
        std::cout << "stopped " << seconds << " s after SIGTERM\n";
        EXPECT_EQ(outcome.exitCode, 128 + SIGTERM) << outcome.err;
        EXPECT_GE(seconds, graceS);
        EXPECT_LT(seconds, graceS + 3);
        const int pdfs = static_cast<int>(Pdfs(folder / "out").size());
        const std::string stopped =
            "转换已中止：" + std::to_string(10 - pdfs) + "个excel文件未转换。\n";
        EXPECT_NE(outcome.out.find(stopped), std::string::npos) << outcome.out;
        EXPECT_EQ(outcome.out.find("失败"), std::string::npos) << outcome.out;
        ExpectStoppedReport(report, 10 - pdfs);
        EXPECT_EQ(OfficesOfThisProcess(pid), 0);
        EXPECT_TRUE(OfficeFilesOf(pid).empty());
        EXPECT_TRUE(Existing(sockets).empty());
    }
}

TEST_F(CliTest, ASecondSignalEndsTheProgramAtOnceWithoutLeftovers)
{
    MakeSlowWorkbooks();
    const pid_t pid = Start({"--jobs", "1", folder / "in", folder / "out"});
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

// The temporary PDFs that killed runs left where a run writes, in the output folder and beside
// the source, in today's and in the earlier form, are removed and counted; a live run's stay.
TEST_F(CliTest, ARunRemovesTheTemporaryPdfsThatKilledRunsLeftWhereItWrites)
{
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "out");
    WriteFile(folder / "in/a.xls", SpreadsheetMl({{"Data", MarkedRows("ROW", 3)}}));
    const pid_t ended = Start({"--version"});
    Finish(ended);
    const std::string unmarked = TemporaryPdfStem + std::to_string(ended) + "-";
    const std::vector<std::string> dead = {TemporaryPdfPrefix(ended) + "1" + TemporaryPdfSuffix,
                                           unmarked + "2" + TemporaryPdfSuffix,
                                           unmarked + "3-417.pdf"};
    // A live run's, and one that another machine's run may still be writing.
    const std::string live = TemporaryPdfPrefix(getpid()) + "1" + TemporaryPdfSuffix;
    const std::string elsewhere = unmarked + "h00000000-1" + TemporaryPdfSuffix;
    const struct
    {
        std::vector<std::string> args;
        std::string where;
        std::set<std::string> after;
    } runs[] = {
        {{folder / "in", folder / "out"}, folder / "out", {"a(Data).pdf", live, elsewhere}},
        {{"--beside-source", folder / "in"},
         folder / "in",
         {"a.xls", "a(Data).pdf", live, elsewhere}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.where);
        for (const std::string& name : dead)
            WriteFile(run.where + "/" + name, "");
        WriteFile(run.where + "/" + live, "");
        WriteFile(run.where + "/" + elsewhere, "");
        std::vector<std::string> args = {"--report", folder / "report.json"};
        args.insert(args.end(), run.args.begin(), run.args.end());
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(run.where))
            names.insert(entry.path().filename().string());
        EXPECT_EQ(names, run.after);
        const std::string report = ReadFile(folder / "report.json");
        EXPECT_NE(report.find("\"removedTemporaryPdfs\": 3"), std::string::npos) << report;
        EXPECT_NE(ReportFacts(folder / "report.json").at(0).find("stopped false"),
                  std::string::npos);
    }
}

// Killed while its office writes a PDF, a run leaves the temporary PDF; the next run into that
// folder removes it. The kill comes as soon as the file appears, so one try nearly always hits.
TEST_F(CliTest, ARunKilledDuringAnExportLeavesATemporaryPdfThatTheNextRunRemoves)
{
    MakeSlowWorkbooks();
    const struct
    {
        std::vector<std::string> args;
        std::string where;
    } placements[] = {
        {{"--jobs", "1", folder / "in", folder / "out"}, folder / "out"},
        {{"--jobs", "1", "--beside-source", folder / "in"}, folder / "in"},
    };
    for (const auto& placement : placements) {
        SCOPED_TRACE(placement.where);
        const auto temporaryPdfsOf = [&placement](pid_t pid) {
            std::set<std::string> found;
            for (const auto& entry : fs::directory_iterator(placement.where))
                if (entry.path().filename().string().rfind(TemporaryPdfPrefix(pid), 0) == 0)
                    found.insert(entry.path().filename().string());
            return found;
        };
        std::set<std::string> left;
        for (int attempt = 0; attempt < 10 && left.empty(); ++attempt) {
            const pid_t killed = Start(placement.args);
            for (int i = 0; i < 60000 && temporaryPdfsOf(killed).empty(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            kill(killed, SIGKILL);
            Finish(killed);
            for (int i = 0; i < 100 && OfficesOfThisProcess(killed) > 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            left = temporaryPdfsOf(killed);
        }
        ASSERT_EQ(left.size(), 1u) << "no kill came during an export";
        const std::string name = *left.begin();
        EXPECT_EQ(name.substr(name.size() - TemporaryPdfSuffix.size()), TemporaryPdfSuffix);
        EXPECT_EQ(PdfsBelow(placement.where).count(name), 0u) << "a *.pdf pattern takes it";

        std::vector<std::string> args = {"--report", folder / "report.json"};
        args.insert(args.end(), placement.args.begin(), placement.args.end());
        const Outcome next = Cli(args);
        EXPECT_EQ(next.exitCode, 0) << next.out << next.err;
        EXPECT_FALSE(fs::exists(placement.where + "/" + name));
        const std::string report = ReadFile(folder / "report.json");
        EXPECT_NE(report.find("\"removedTemporaryPdfs\": 1"), std::string::npos) << report;
    }
}

// What a killed run leaves is removed by the next run; what belongs to a live process or another
// user is not.
TEST_F(CliTest, ARunRemovesWhatKilledRunsLeftAndNothingElse)
{
    MakeSlowWorkbooks();
    // No cache to keep a set-up profile in: the run keeps its own.
    const pid_t killed =
        Start({"--jobs", "1", folder / "in", folder / "out"}, {"XDG_CACHE_HOME=/proc/none"});
    ASSERT_TRUE(WaitForOutput(folder / "in/book0.xls"));
    const std::set<std::string> sockets = OfficeSocketsOf(killed);
    kill(killed, SIGKILL);
    Finish(killed);
    for (int i = 0; i < 100 && OfficesOfThisProcess(killed) > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::vector<std::string> leftovers = OfficeFilesOf(killed);
    // The office's profile folder, the copy of its set-up profile kept for the offices after it,
    // and its pipe socket.
    ASSERT_EQ(leftovers.size(), 3u) << "two profile folders and a pipe socket";
    ASSERT_EQ(Existing(sockets).size(), 2u) << "the pipe and the single-instance socket";

    const std::string pipes = PipeSocketFolder + "/" + PipeSocketPrefix(getuid());
    const std::string live = "/tmp/" + ProfileFolderPrefix(getpid()) + "test";
    const std::string livePipe = pipes + OfficePipePrefix(getpid()) + "test";
    const std::string othersPipe = pipes + OfficePipePrefix(killed) + "others";
    const std::string othersProfile = "/tmp/" + ProfileFolderPrefix(killed) + "others";
    const std::string listening = pipes + SingleInstancePipeStem + "quillsheettest";
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

// One office or two over the same tree: the same PDFs, summary, failures and report, whatever
// the timing; and the report holds what became of each workbook and sheet.
TEST_F(CliTest, OneOrTwoOfficesGiveTheSameRunAndTheReportSaysWhatHappened)
{
    MakeMixedTree();
    std::vector<std::string> facts[2];
    std::string summaries[2];
    std::set<std::string> pdfs[2];
    for (int jobs = 1; jobs <= 2; ++jobs) {
        const std::string out = folder / ("out" + std::to_string(jobs));
        const std::string report = folder / ("report" + std::to_string(jobs) + ".json");
        const Outcome outcome =
            Cli({"--jobs", std::to_string(jobs), "--report", report, folder / "in", out});
        EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
        EXPECT_EQ(outcome.out.rfind("excel OK!\nWorkBooks OK!\n", 0), 0u) << outcome.out;
        summaries[jobs - 1] = FromSummary(outcome.out);
        pdfs[jobs - 1] = Pdfs(out);
        facts[jobs - 1] = ReportFacts(report);
        EXPECT_EQ(OfficesOfThisProcess(outcome.pid), 0);
    }
    EXPECT_EQ(summaries[0], summaries[1]);
    EXPECT_EQ(pdfs[0], pdfs[1]);
    EXPECT_EQ(facts[0], facts[1]);

    const std::string unreadable = "无法打开（文件已损坏、已加密或不是工作簿）";
    std::set<std::string> expected = {
        "stopped false",
        "workbook a.xls converted -",
        "pdf a.xls Budget -",
        "workbook a.xlsx converted -",
        "pdf a.xlsx Budget -",
        "workbook inventory.xlsx converted -",
        "pdf inventory.xlsx Stock -",
        "pdf inventory.xlsx Orders -",
        "pdf inventory.xlsx Notes blank",
        "workbook bad/corrupt.xlsx failed " + unreadable,
    };
    std::set<std::string> expectedPdfs = {"a(Budget).pdf", "a.xlsx(Budget).pdf",
                                          "inventory(Stock).pdf", "inventory(Orders).pdf"};
    if (!Corpus.empty()) {
        expected.insert({"workbook bad/password.xls failed 已加密，需要密码",
                         "workbook vis.xlsx converted -", "pdf vis.xlsx Visible -",
                         "pdf vis.xlsx Hidden hidden", "pdf vis.xlsx VeryHidden hidden"});
        expectedPdfs.insert("vis(Visible).pdf");
    }
    const std::set<std::string> got(facts[0].begin(), facts[0].end());
    for (const std::string& fact : expected)
        EXPECT_EQ(got.count(fact), 1u) << fact;
    for (const std::string& pdf : expectedPdfs)
        EXPECT_EQ(pdfs[0].count(pdf), 1u) << pdf;
    // Each PDF the summary counts is on disk.
    EXPECT_NE(
        summaries[0].find("个excel文件转换为" + std::to_string(pdfs[0].size()) + "个pdf文件。"),
        std::string::npos)
        << summaries[0];
}

// A workbook that hangs its office fails alone; the other office converts the rest meanwhile.
TEST_F(CliTest, AHangingWorkbookFailsAloneWhileTheOtherOfficeGoesOn)
{
    if (Corpus.empty())
        OPTIONAL_SKIP("no corpus");
    fs::create_directories(folder / "in");
    fs::copy_file(Corpus + "/apache-poi/test-data/spreadsheet/poc-shared-strings.xlsx",
                  folder / "in/hangs.xlsx");
    // Enough for a second office to pay.
    for (int i = 0; i < 11; ++i)
        fs::copy_file(Examples + "/budget.xls", folder / ("in/book" + std::to_string(i) + ".xls"));
    const Outcome outcome =
        Cli({"--jobs", "2", "--timeout", "10", "--merge-sheets", folder / "in", folder / "out"});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_NE(outcome.out.find("成功将11个excel文件转换为11个pdf文件。\n失败1个：\n" +
                               (folder / "in/hangs.xlsx") + ": 办公软件10秒内没有响应，已被停止\n"),
              std::string::npos)
        << outcome.out;
    EXPECT_EQ(Pdfs(folder / "out").size(), 11u);
    EXPECT_EQ(OfficesOfThisProcess(outcome.pid), 0);
}

// Three shares of one tree, run one after another as three machines would, make exactly the
// PDFs of a whole run, and no workbook is in two of them.
TEST_F(CliTest, SharesOfOneTreeMakeTheWholeRunWithoutOverlap)
{
    MakeMixedTree();
    const Outcome whole = Cli({"--jobs", "1", folder / "in", folder / "whole"});
    std::multiset<std::string> converted;
    for (const char* shard : {"1/3", "2/3", "3/3"}) {
        const std::string report = folder / "share.json";
        const Outcome share = Cli(
            {"--jobs", "1", "--shard", shard, "--report", report, folder / "in", folder / "out"});
        EXPECT_NE(share.exitCode, 2) << share.err;
        for (const std::string& fact : ReportFacts(report))
            if (fact.rfind("workbook ", 0) == 0)
                converted.insert(fact.substr(9, fact.rfind(' ', fact.rfind(' ') - 1) - 9));
    }
    EXPECT_EQ(Pdfs(folder / "out"), Pdfs(folder / "whole"));
    const std::set<std::string> distinct(converted.begin(), converted.end());
    EXPECT_EQ(distinct.size(), converted.size()) << "a workbook in two shares";
    EXPECT_NE(whole.out.find("成功将" + std::to_string(distinct.size() - (Corpus.empty() ? 1 : 2))),
              std::string::npos)
        << whole.out;
}

// The listing stays in SOURCE and ends whatever links it holds: one out of the tree is converted
// only with --follow-links, one to /proc is never entered, and 28 levels of two links each (2^28
// paths) are listed as their 28 folders.
TEST_F(CliTest, TheListingStaysInTheTreeAndEndsWhateverLinksItHolds)
{
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "elsewhere");
    fs::copy_file(Examples + "/budget.xls", folder / "in/a.xls");
    fs::copy_file(Examples + "/budget.xls", folder / "elsewhere/e.xls");
    fs::create_directory_symlink(folder / "elsewhere", folder / "in/outside");
    fs::create_directory_symlink("/proc", folder / "in/proc");
    const fs::path levels = folder / "in/.levels";
    for (int level = 0; level < 28; ++level) {
        const fs::path here = levels / std::to_string(level);
        fs::create_directories(here);
        if (level > 0)
            for (const char* link : {"a", "b"})
                fs::create_directory_symlink(here, levels / std::to_string(level - 1) / link);
    }
    fs::copy_file(Examples + "/budget.xls", levels / "27/deep.xls");
    fs::create_directory_symlink(levels / "0", folder / "in/levels");
    // Reached through one link of each level, whichever the listing met first.
    const std::string deep = "levels/(27 links)/deep.xls";

    struct Case
    {
        bool follow;
        std::set<std::string> converted;
        std::set<std::string> leftOut;
    };
    const std::vector<Case> cases = {
        {false,
         {"a.xls", deep},
         {"leftout outside link outside source", "leftout proc link outside source"}},
        {true, {"a.xls", "outside/e.xls", deep}, {"leftout proc virtual file system"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.follow);
        const std::string report = folder / "report.json";
        std::vector<std::string> args = {"--jobs",      "1",
                                         "--report",    report,
                                         folder / "in", folder / (c.follow ? "followed" : "out")};
        if (c.follow)
            args.insert(args.begin(), "--follow-links");
        const pid_t pid = Start(args, CacheHere());
        // The first status line comes once the listing has ended.
        bool listed = false;
        for (int i = 0; i < 100 && !listed; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            listed = ReadFile(Out()).find("excel OK!") != std::string::npos;
        }
        if (!listed)
            kill(pid, SIGKILL);
        const Outcome outcome = Finish(pid);
        ASSERT_TRUE(listed) << "the listing took more than 10 s";
        EXPECT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
        std::set<std::string> converted;
        for (const std::string& path : Converted(outcome.out))
            converted.insert(path.rfind("levels/", 0) == 0 &&
                                     std::count(path.begin(), path.end(), '/') == 28
                                 ? deep
                                 : path);
        EXPECT_EQ(converted, c.converted) << outcome.out;
        std::set<std::string> leftOut;
        for (const std::string& fact : ReportFacts(report))
            if (fact.rfind("leftout ", 0) == 0)
                leftOut.insert(fact);
        EXPECT_EQ(leftOut, c.leftOut);
    }
    EXPECT_TRUE(Pdfs(folder / "elsewhere").empty());
}

// The summary and the failures speak the user's language; the JSON report's names stay.
TEST_F(CliTest, TheSummaryAndFailuresSpeakTheUsersLanguage)
{
    fs::create_directories(folder / "in");
    fs::copy_file(Examples + "/budget.xls", folder / "in/budget.xls");
    WriteFile(folder / "in/empty.xlsx", "");
    const std::string empty = folder / "in/empty.xlsx";
    const std::string chinese = "成功将1个excel文件转换为1个pdf文件。\n失败1个：\n" + empty +
                                ": 文件是空的\n全部失败：\n" + empty + ": 文件是空的\n";
    const struct
    {
        const char* lang;
        std::string out;
        const char* reason;
    } cases[] = {
        {"C", chinese, "文件是空的"},
        {"zh_CN.UTF-8", chinese, "文件是空的"},
        {"en_US.UTF-8",
         "Converted 1 excel file(s) to 1 pdf file(s).\n1 failure(s):\n" + empty +
             ": the file is empty\nAll failures:\n" + empty + ": the file is empty\n",
         "the file is empty"},
    };
    for (const auto& [lang, out, reason] : cases) {
        SCOPED_TRACE(lang);
        const Outcome quiet = Cli({"--quiet", folder / "in", folder / "out"}, Speaking(lang));
        EXPECT_EQ(quiet.exitCode, 1) << quiet.err;
        EXPECT_EQ(quiet.out, out);
        const Outcome json = Cli({"--report", "-", folder / "in", folder / "out"}, Speaking(lang));
        WriteFile(folder / "stdout.json", json.out);
        EXPECT_EQ(ReportFacts(folder / "stdout.json"),
                  (std::vector<std::string>{"stopped false", "workbook budget.xls converted -",
                                            "pdf budget.xls Budget -",
                                            std::string("workbook empty.xlsx failed ") + reason}));
    }
}

// --quiet prints the summary and the failures only; --report - prints the report only; the
// progress line shows on a terminal and not in a pipe.
TEST_F(CliTest, QuietJsonOnlyAndTheProgressLine)
{
    fs::create_directories(folder / "in");
    fs::copy_file(Examples + "/budget.xls", folder / "in/budget.xls");
    WriteFile(folder / "in/empty.xlsx", "");
    const std::string failure = (folder / "in/empty.xlsx") + ": 文件是空的\n";

    const Outcome quiet = Cli({"--quiet", folder / "in", folder / "out"});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.out, "成功将1个excel文件转换为1个pdf文件。\n失败1个：\n" + failure +
                             "全部失败：\n" + failure);

    const Outcome json = Cli({"--report", "-", folder / "in", folder / "out"});
    EXPECT_EQ(json.exitCode, 1);
    WriteFile(folder / "stdout.json", json.out);
    const std::vector<std::string> facts = ReportFacts(folder / "stdout.json");
    EXPECT_EQ(facts, (std::vector<std::string>{"stopped false", "workbook budget.xls converted -",
                                               "pdf budget.xls Budget -",
                                               "workbook empty.xlsx failed 文件是空的"}))
        << json.out;

    EXPECT_EQ(quiet.err.find("个excel文件，"), std::string::npos) << quiet.err;
    // script(1) gives the program a pseudo-terminal.
    const std::string terminal =
        CommandOutput("script -qec " +
                      Quoted(Quoted(QUILLSHEET_CLI) + " --quiet " + Quoted(folder / "in") + " " +
                             Quoted(folder / "out") + " 2>&1") +
                      " /dev/null");
    EXPECT_NE(terminal.find("2/2个excel文件，1个pdf，失败1个，已用0:"), std::string::npos)
        << terminal;
}

// A report or an update state that cannot be written (a full disk, a full standard output)
// fails a run that converted everything, says which file and why, and leaves the previous file
// as it was, with no temporary file beside it.
TEST_F(CliTest, AReportOrStateThatCannotBeWrittenFailsTheRunAndKeepsTheOldFile)
{
    fs::create_directories(folder / "in");
    fs::copy_file(Examples + "/budget.xls", folder / "in/budget.xls");
    const Outcome first = Cli({"--update", folder / "in", folder / "out"}, CacheHere());
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const fs::path stateFolder = folder / "cache/quillsheet-cli/update";
    // The state, and the file that runs of its kind lock.
    std::vector<fs::path> states;
    for (const auto& entry : fs::directory_iterator(stateFolder))
        if (entry.path().extension() == ".json")
            states.push_back(entry.path());
    ASSERT_EQ(states.size(), 1u);
    const fs::path statePath = states.front();
    const std::string state = "quillsheet-cli/update/" + statePath.filename().string();
    const std::string oldReport(21000, 'r');
    FullFileSystem full({{"report.json", oldReport}, {state, ReadFile(statePath)}});
    if (!full.Mounted())
        OPTIONAL_SKIP(full.Reason());
    const std::set<std::string> fullNames = full.Names();
    struct Case
    {
        const char* what;
        std::vector<std::string> args;
        std::vector<std::string> env;
        std::string standardOutput;
        std::string message;
    };
    const std::string noSpace = "：No space left on device\n";
    const std::vector<Case> cases = {
        {"report",
         {"--report", full / "report.json"},
         {},
         "",
         "报告无法写出：" + (full / "report.json") + noSpace},
        {"report on standard output",
         {"--report", "-"},
         {},
         "/dev/full",
         "报告无法写出：标准输出" + noSpace},
        {"update state",
         {"--update"},
         {"XDG_CACHE_HOME=" + full.path().string()},
         "",
         "无法保存更新状态：" + (full / state) + noSpace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Changed, so that the update run converts it again.
        fs::last_write_time(folder / "in/budget.xls",
                            fs::last_write_time(folder / "in/budget.xls") +
                                std::chrono::seconds(5));
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {folder / "in", folder / "out"});
        standardOutput = c.standardOutput;
        const Outcome outcome = Cli(args, c.env);
        EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_EQ(ReadFile(full / "report.json"), oldReport);
        EXPECT_EQ(ReadFile(full / state), ReadFile(statePath));
        // The office keeps its own dconf cache beside the state, runs of a kind share a lock file
        // there, and the offices' set-up profile would be kept there: not what this checks.
        std::set<std::string> names = full.Names();
        names.erase("quillsheet");
        names.erase(names.lower_bound("dconf"), names.lower_bound("dconf0"));
        names.erase(full.Names().count(state + ".lock") ? state + ".lock" : std::string());
        EXPECT_EQ(names, fullNames);
    }
}

// Without HOME the update state goes to the home the password database names, not to the root's
// folders, and a state folder that cannot be made is told with the system's reason.
TEST_F(CliTest, WithoutHomeTheStateGoesToTheUsersHomeOrSaysWhyNot)
{
    if (geteuid() != 0)
        OPTIONAL_SKIP("only root can run the program as a user whose home cannot be made");
    const passwd* nobody = getpwuid(65534);
    ASSERT_NE(nobody, nullptr);
    fs::create_directories(folder / "in");
    fs::permissions(folder.path(), fs::perms::all, fs::perm_options::add);
    const int exitCode = RunWithoutPrivilege([this] {
        return Cli({"--update", folder / "in", folder / "out"}, {"HOME=", "XDG_CACHE_HOME="})
            .exitCode;
    });
    if (exitCode == -1000)
        OPTIONAL_SKIP("no unprivileged child could be made");
    EXPECT_EQ(exitCode, 1);
    const std::string err = ReadFile(Err());
    EXPECT_EQ(err.rfind("无法保存更新状态：" + std::string(nobody->pw_dir) +
                            "/.cache/quillsheet-cli/update/",
                        0),
              0u)
        << err;
    EXPECT_NE(err.find(".json：Permission denied\n"), std::string::npos) << err;
}

// --update leaves out exactly the workbooks that are unchanged and whose PDFs are all still
// there, with no office started when that is all; a damaged state means a full run; per-sheet and
// merged runs keep separate states.
TEST_F(CliTest, UpdateRunsConvertOnlyWhatChangedOrLostAPdf)
{
    fs::create_directories(folder / "in/sub");
    fs::copy_file(Examples + "/budget.xls", folder / "in/budget.xls");
    fs::copy_file(Examples + "/inventory.xlsx", folder / "in/sub/inventory.xlsx");
    fs::copy_file(Examples + "/budget.xls", folder / "in/other.xls");
    const fs::path states = folder / "cache/quillsheet-cli/update";
    struct Step
    {
        const char* what;
        std::function<void()> change;
        bool merged;
        std::set<std::string> converted;
        int upToDate;
    };
    const std::set<std::string> all = {"budget.xls", "sub/inventory.xlsx", "other.xls"};
    const std::vector<Step> steps = {
        {"first run", [] {}, false, all, 0},
        {"unchanged", [] {}, false, {}, 3},
        {"touched",
         [&] {
             fs::last_write_time(folder / "in/budget.xls",
                                 fs::last_write_time(folder / "in/budget.xls") +
                                     std::chrono::seconds(5));
         },
         false,
         {"budget.xls"},
         2},
        {"a PDF deleted",
         [&] { fs::remove(folder / "out/sub/inventory(Stock).pdf"); },
         false,
         {"sub/inventory.xlsx"},
         2},
        {"state damaged",
         [&] {
             for (const auto& state : fs::directory_iterator(states))
                 WriteFile(state.path(), "{\"workbooks\": [");
         },
         false, all, 0},
        {"merged: its own state", [] {}, true, all, 0},
        {"merged again", [] {}, true, {}, 3},
        {"per sheet still up to date", [] {}, false, {}, 3},
    };
    // Nothing to convert starts no office: where bubblewrap runs, one could not start there.
    const std::string office = "/usr/lib/libreoffice/program/soffice.bin";
    const std::vector<std::string> withoutOffice = {"/usr/bin/bwrap", "--dev-bind", "/",    "/",
                                                    "--ro-bind",      "/dev/null",  office, "--"};
    const bool officeCanBeMasked = system("/usr/bin/bwrap --dev-bind / / /usr/bin/true") == 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        launcher = step.converted.empty() && officeCanBeMasked ? withoutOffice
                                                               : std::vector<std::string>();
        std::vector<std::string> args = {"--update", "--jobs", "1", "--report", folder / "r.json"};
        if (step.merged)
            args.push_back("--merge-sheets");
        args.insert(args.end(), {folder / "in", folder / (step.merged ? "merged" : "out")});
        const Outcome outcome = Cli(args, CacheHere());
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(Converted(outcome.out), step.converted) << outcome.out;
        const std::string summary = FromSummary(outcome.out);
        EXPECT_EQ(
            summary.rfind("成功将" + std::to_string(step.converted.size()) + "个excel文件", 0), 0u)
            << outcome.out;
        const std::string upToDate =
            "pdf文件。\n另有" + std::to_string(step.upToDate) + "个excel文件未改动，已跳过。\n";
        EXPECT_EQ(summary.find(upToDate) != std::string::npos, step.upToDate > 0) << outcome.out;
        const std::vector<std::string> facts = ReportFacts(folder / "r.json");
        EXPECT_EQ(static_cast<int>(std::count_if(facts.begin(), facts.end(),
                                                 [](const std::string& fact) {
                                                     return fact.find(" up to date -") !=
                                                            std::string::npos;
                                                 })),
                  step.upToDate);
    }
    EXPECT_EQ(std::count_if(fs::directory_iterator(states), fs::directory_iterator(),
                            [](const fs::directory_entry& entry) {
                                return entry.path().extension() == ".json";
                            }),
              2);
    EXPECT_EQ(Pdfs(folder / "in").size(), 0u) << "no state among the user's files";
    if (!officeCanBeMasked)
        OPTIONAL_SKIP("bubblewrap cannot run here: that no office starts went unchecked");
}

// --pdfa writes PDF/A-2b with every font embedded, per sheet and merged; without it, plain PDF.
// Shards of one tree kept up to date at once each keep a state of their own, and runs of one
// share take turns with theirs (the later says that it waits): run again, no share converts
// anything; a workbook changed meanwhile is converted again, whatever the order of the runs.
TEST_F(CliTest, UpdateSharesRunAtOnceLoseNothing)
{
    fs::create_directories(folder / "in");
    for (int i = 0; i < 6; ++i)
        fs::copy_file(Examples + "/budget.xls", folder / ("in/book" + std::to_string(i) + ".xls"));
    const auto touch = [&](const char* book) {
        fs::last_write_time(folder / (std::string("in/") + book),
                            fs::last_write_time(folder / (std::string("in/") + book)) +
                                std::chrono::seconds(5));
    };
    // Each run of a round starts before any of them ends: the workbooks they converted together,
    // and what they said on standard error.
    const auto round = [&](const std::vector<std::string>& shards) {
        std::vector<pid_t> runs;
        for (std::size_t i = 0; i < shards.size(); ++i) {
            standardOutput = folder / ("out" + std::to_string(i) + ".txt");
            standardError = folder / ("err" + std::to_string(i) + ".txt");
            runs.push_back(Start(
                {"--update", "--jobs", "1", "--shard", shards[i], folder / "in", folder / "out"},
                CacheHere()));
        }
        int converted = 0;
        std::string errors;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(Finish(runs[i]).exitCode, 0)
                << shards[i] << ": " << ReadFile(folder / ("err" + std::to_string(i) + ".txt"));
            converted += static_cast<int>(
                Converted(ReadFile(folder / ("out" + std::to_string(i) + ".txt"))).size());
            errors += ReadFile(folder / ("err" + std::to_string(i) + ".txt"));
        }
        standardOutput.clear();
        standardError.clear();
        return std::make_pair(converted, errors);
    };
    EXPECT_EQ(round({"1/3", "2/3", "3/3"}).first, 6);
    EXPECT_EQ(round({"3/3", "2/3", "1/3"}).first, 0);
    touch("book4.xls");
    EXPECT_EQ(round({"3/3", "1/3", "2/3"}).first, 1);
    touch("book0.xls");
    touch("book5.xls");
    const auto [converted, errors] = round({"2/3", "1/3", "3/3", "3/3", "1/3", "2/3"});
    EXPECT_EQ(converted, 2) << "each changed workbook once, by one run of its share";
    EXPECT_NE(errors.find("另一个运行正在使用同一更新状态"), std::string::npos) << errors;
    EXPECT_EQ(round({"1/3", "2/3", "3/3"}).first, 0);
}

// x.xls's sheet "S)(T" and x(S).xls's sheet "T" would both make x(S)(T).pdf: they make two
// PDFs, the same two in one run and in two shares.
TEST_F(CliTest, TwoWorkbooksThatWouldMakeOnePdfMakeTwoInOneRunAndInShares)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/x.xls", SpreadsheetMl({{"S)(T", MarkedRows("PMARK", 2)}}));
    WriteFile(folder / "in/x(S).xls", SpreadsheetMl({{"T", MarkedRows("BMARK", 2)}}));
    const Outcome whole = Cli({folder / "in", folder / "whole"});
    EXPECT_EQ(whole.exitCode, 0) << whole.out << whole.err;
    for (const char* shard : {"1/2", "2/2"}) {
        const Outcome share = Cli({"--shard", shard, folder / "in", folder / "shares"});
        EXPECT_EQ(share.exitCode, 0) << share.out << share.err;
    }
    const std::set<std::string> expected = {"x(S)(T).pdf", "x(S)(T) (2).pdf"};
    EXPECT_EQ(Pdfs(folder / "whole"), expected);
    EXPECT_EQ(Pdfs(folder / "shares"), expected);
    std::set<std::string> marks;
    for (const std::string& pdf : expected) {
        const std::string text = PdfText(folder / ("whole/" + pdf));
        const std::string mark = text.find("PMARK") != std::string::npos ? "PMARK" : "BMARK";
        marks.insert(mark);
        EXPECT_NE(text.find(mark), std::string::npos) << pdf;
        EXPECT_NE(PdfText(folder / ("shares/" + pdf)).find(mark), std::string::npos) << pdf;
    }
    EXPECT_EQ(marks.size(), 2u);
}

// --update removes the PDF of a sheet that is gone since the last run, says so, and leaves every
// other PDF in the folder alone.
TEST_F(CliTest, AnUpdateRunRemovesThePdfOfASheetThatIsGone)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/book.xls",
              SpreadsheetMl({{"Keep", MarkedRows("KEEP", 2)}, {"Gone", MarkedRows("GONE", 2)}}));
    const std::vector<std::string> args = {"--update", "--report", folder / "r.json", folder / "in",
                                           folder / "out"};
    const Outcome first = Cli(args, CacheHere());
    ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
    EXPECT_EQ(Pdfs(folder / "out"), (std::set<std::string>{"book(Keep).pdf", "book(Gone).pdf"}));
    WriteFile(folder / "out/book(Other).pdf", "not the run's");
    WriteFile(folder / "in/book.xls", SpreadsheetMl({{"Keep", MarkedRows("KEEP", 3)}}));
    const Outcome second = Cli(args, CacheHere());
    EXPECT_EQ(second.exitCode, 0) << second.out << second.err;
    EXPECT_EQ(Pdfs(folder / "out"), (std::set<std::string>{"book(Keep).pdf", "book(Other).pdf"}));
    EXPECT_NE(second.out.find("成功将1个excel文件转换为1个pdf文件。\n已删除1个不再生成的pdf文件。"),
              std::string::npos)
        << second.out;
    const std::string report = ReadFile(folder / "r.json");
    EXPECT_NE(report.find("\"removedPdfs\": 1"), std::string::npos) << report;
    EXPECT_NE(report.find(folder / "out/book(Gone).pdf"), std::string::npos) << report;
    const std::vector<std::string> facts = ReportFacts(folder / "r.json");
    EXPECT_EQ(std::count(facts.begin(), facts.end(), "invalid"), 0) << report;
}

// Without --jobs a run takes as many offices as the CPUs it may use, at most 4: one when its
// affinity allows one CPU.
TEST_F(CliTest, TheDefaultOfficesAreTheCpusTheRunMayUse)
{
    fs::create_directories(folder / "in");
    fs::copy_file(Examples + "/budget.xls", folder / "in/budget.xls");
    fs::copy_file(Examples + "/inventory.xlsx", folder / "in/inventory.xlsx");
    launcher = {"/usr/bin/taskset", "-c", "0"};
    EXPECT_NE(Cli({"--help"}).out.find("(here 1: the CPUs"), std::string::npos);
    // The report's folders are made.
    const std::string report = folder / "reports/new/r.json";
    const Outcome outcome = Cli({"--report", report, folder / "in", folder / "out"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_NE(ReadFile(report).find("\"jobs\": 1,"), std::string::npos);
}

TEST_F(CliTest, PdfaRunsWriteArchivalPdfWithEveryFontEmbedded)
{
    fs::create_directories(folder / "in");
    fs::copy_file(Examples + "/inventory.xlsx", folder / "in/inventory.xlsx");
    fs::copy_file(Examples + "/销售报表.xlsx", folder / "in/销售报表.xlsx");
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{"--pdfa"}, true}, {{"--pdfa", "--merge-sheets"}, true}, {{}, false}};
    for (const auto& [options, archival] : cases) {
        fs::remove_all(folder / "out");
        std::vector<std::string> args = options;
        args.insert(args.end(), {folder / "in", folder / "out"});
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        const std::set<std::string> pdfs = Pdfs(folder / "out");
        EXPECT_GE(pdfs.size(), 2u);
        for (const std::string& pdf : pdfs) {
            SCOPED_TRACE(pdf + (archival ? " --pdfa" : ""));
            const std::string path = folder / ("out/" + pdf);
            const std::string meta = CommandOutput("pdfinfo -meta " + Quoted(path));
            EXPECT_EQ(meta.find("<pdfaid:part>2</pdfaid:part>") != std::string::npos, archival);
            EXPECT_EQ(meta.find("<pdfaid:conformance>B</pdfaid:conformance>") != std::string::npos,
                      archival);
            if (!archival)
                continue;
            // Name, type (maybe two words), encoding, then emb, sub, uni, object and ID.
            std::istringstream fonts(CommandOutput("pdffonts " + Quoted(path)));
            std::string line;
            std::getline(fonts, line);
            std::getline(fonts, line);
            int rows = 0;
            for (; std::getline(fonts, line); ++rows) {
                std::istringstream words(line);
                std::vector<std::string> fields{std::istream_iterator<std::string>(words), {}};
                ASSERT_GE(fields.size(), 5u) << line;
                EXPECT_EQ(fields[fields.size() - 5], "yes") << line;
            }
            EXPECT_GE(rows, 1);
        }
    }
}

// A workbook copied in slowly is converted once, when complete; a changed one again; a removed
// one leaves its PDF; SIGINT ends the watch with the stop line, no office and no leftovers.
TEST_F(CliTest, WatchConvertsWhatArrivesOnceCompleteUntilAStopSignal)
{
    fs::create_directories(folder / "in");
    fs::copy_file(Examples + "/budget.xls", folder / "in/budget.xls");
    const pid_t pid = Start({"--watch", folder / "in", folder / "out"}, CacheHere());
    ASSERT_TRUE(WaitForOutput("成功将1个excel文件转换为1个pdf文件。\n"));
    const std::set<std::string> sockets = OfficeSocketsOf(pid);

    const std::string bytes = ReadFile(Examples + "/inventory.xlsx");
    {
        std::ofstream slow(folder / "in/slow.xlsx", std::ios::binary);
        for (std::size_t part = 0, size = bytes.size() / 3; part < 3; ++part) {
            slow << bytes.substr(part * size, part == 2 ? std::string::npos : size) << std::flush;
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    }
    ASSERT_TRUE(WaitForOutput("成功将1个excel文件转换为2个pdf文件。\n"));
    EXPECT_TRUE(fs::exists(folder / "out/slow(Stock).pdf"));

    WriteFile(folder / "in/budget.xls", SpreadsheetMl({{"Changed", MarkedRows("x", 3)}}));
    ASSERT_TRUE(WaitForOutput(folder / "in/budget.xls", 2));
    ASSERT_TRUE(WaitForOutput("成功将1个excel文件转换为1个pdf文件。\n", 2));
    EXPECT_TRUE(fs::exists(folder / "out/budget(Changed).pdf"));
    fs::remove(folder / "in/budget.xls");
    std::this_thread::sleep_for(std::chrono::seconds(2));

    kill(pid, SIGINT);
    const Outcome outcome = Finish(pid);
    EXPECT_EQ(outcome.exitCode, 128 + SIGINT) << outcome.err;
    EXPECT_EQ(Occurrences(outcome.out, folder / "in/slow.xlsx"), 1) << outcome.out;
    EXPECT_EQ(Occurrences(outcome.out, folder / "in/budget.xls"), 2) << outcome.out;
    EXPECT_EQ(Occurrences(outcome.out, "excel OK!\nWorkBooks OK!\n"), 1) << outcome.out;
    EXPECT_EQ(outcome.out.find("失败"), std::string::npos) << outcome.out;
    const std::string stopLine = "转换已中止：0个excel文件未转换。\n";
    EXPECT_EQ(outcome.out.size() - outcome.out.rfind(stopLine), stopLine.size()) << outcome.out;
    EXPECT_TRUE(fs::exists(folder / "out/budget(Changed).pdf"));
    EXPECT_EQ(OfficesOfThisProcess(pid), 0);
    EXPECT_TRUE(OfficeFilesOf(pid).empty());
    EXPECT_TRUE(Existing(sockets).empty());
}

// A workbook moved into the watched folder has its PDF within 1.5 s of the move; one written into
// a folder made meanwhile and one in a folder moved in whole are converted too, after the long
// wait when the folder's listing, not its events, found them.
TEST_F(CliTest, WatchConvertsAMovedInWorkbookAtOnceAndWhatComesInNewFolders)
{
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "staging/box");
    const std::string book = SpreadsheetMl({{"Data", MarkedRows("x", 3)}});
    WriteFile(folder / "staging/moved.xls", book);
    WriteFile(folder / "staging/box/boxed.xls", book);
    const pid_t pid = Start({"--watch", folder / "in", folder / "out"}, CacheHere());
    ASSERT_TRUE(WaitForOutput("成功将"));
    struct Arrival
    {
        const char* what;
        std::function<void()> arrive;
        std::string pdf; // below "out"
        double withinS;  // from the end of the arrival
    };
    const Arrival arrivals[] = {
        {"moved in", [&] { fs::rename(folder / "staging/moved.xls", folder / "in/moved.xls"); },
         "moved(Data).pdf", 1.5},
        {"written into a folder made meanwhile",
         [&] {
             fs::create_directories(folder / "in/new/deeper");
             WriteFile(folder / "in/new/deeper/made.xls", book);
         },
         "new/deeper/made(Data).pdf", 2 + 1.5},
        {"in a folder moved in whole",
         [&] { fs::rename(folder / "staging/box", folder / "in/box"); }, "box/boxed(Data).pdf",
         2 + 1.5},
    };
    for (const Arrival& arrival : arrivals) {
        arrival.arrive();
        const auto arrived = std::chrono::steady_clock::now();
        double seconds = 0;
        while (!fs::exists(folder / ("out/" + arrival.pdf)) && seconds < 30) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - arrived).count();
        }
        std::cout << arrival.what << ": its PDF " << seconds << " s after\n";
        EXPECT_LT(seconds, arrival.withinS) << arrival.what;
    }

    kill(pid, SIGINT);
    const Outcome outcome = Finish(pid);
    EXPECT_EQ(outcome.exitCode, 128 + SIGINT) << outcome.err;
    for (const char* path : {"moved.xls", "new/deeper/made.xls", "box/boxed.xls"})
        EXPECT_EQ(Occurrences(outcome.out, folder / ("in/" + std::string(path))), 1) << outcome.out;
    EXPECT_EQ(outcome.out.find("失败"), std::string::npos) << outcome.out;
}

// --watch --quiet prints each batch's summary and no line of a workbook; a workbook that failed
// and then converted is no failure at the end: not among the failure lines, nor in the report.
TEST_F(CliTest, AQuietWatchPrintsEachBatchsSummaryAndEndsWithWhatBecameOfEachWorkbook)
{
    fs::create_directories(folder / "in");
    fs::copy_file(Examples + "/budget.xls", folder / "in/budget.xls");
    const std::string report = folder / "report.json";
    const pid_t pid = Start(
        {"--watch", "--quiet", "--report", report, folder / "in", folder / "out"}, CacheHere());
    const std::string converted = "成功将1个excel文件转换为1个pdf文件。\n";
    ASSERT_TRUE(WaitForOutput(converted));
    WriteFile(folder / "in/late.xls", "");
    ASSERT_TRUE(WaitForOutput("失败1个：\n"));
    WriteFile(folder / "in/late.xls", SpreadsheetMl({{"Data", MarkedRows("x", 3)}}));
    ASSERT_TRUE(WaitForOutput(converted, 2));
    kill(pid, SIGTERM);
    const Outcome outcome = Finish(pid);
    EXPECT_EQ(outcome.exitCode, 128 + SIGTERM) << outcome.err;
    EXPECT_EQ(outcome.out, converted + "成功将0个excel文件转换为0个pdf文件。\n失败1个：\n" +
                               (folder / "in/late.xls") + ": 文件是空的\n" + converted +
                               "转换已中止：0个excel文件未转换。\n");
    EXPECT_EQ(ReportFacts(report),
              (std::vector<std::string>{"stopped true", "workbook budget.xls converted -",
                                        "pdf budget.xls Budget -", "workbook late.xls converted -",
                                        "pdf late.xls Data -"}));
}

} // namespace
