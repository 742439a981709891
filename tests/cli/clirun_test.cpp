// The command line's own behaviour, the whole program run as a user runs it, over applications
// that answer from the workbook files (describedapplications.h): exit codes, texts and their
// order, reports, update state, shares, watches and stop signals.
#include "cli/clitest.h"
#include "common/fullfilesystem.h"
#include "common/strictskips.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace {

using CliRunTest = CliTest;

const std::string Budget = "sheet Budget\n";
const std::string Inventory = "sheet Stock\nsheet Orders\nsheet Notes blank\n";

// Ten workbooks in "in", each taking its application a while, and an empty "out".
void DescribeSlowWorkbooks(const fs::path& folder)
{
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "out");
    for (int i = 0; i < 10; ++i)
        WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"), "sheet Data\nslow 300\n");
}

// Workbooks of every kind in "in": converted, left-out sheets, same base names, a sub-folder, a
// damaged and an encrypted one.
void DescribeMixedTree(const fs::path& folder)
{
    fs::create_directories(folder / "in/bad");
    fs::create_directories(folder / "in/sub");
    WriteFile(folder / "in/a.xls", Budget);
    WriteFile(folder / "in/a.xlsx", Budget);
    WriteFile(folder / "in/inventory.xlsx", Inventory);
    WriteFile(folder / "in/sub/销售报表.xlsx", "sheet 销售\n");
    WriteFile(folder / "in/vis.xlsx",
              "sheet Visible\nsheet Hidden hidden\nsheet VeryHidden hidden\n");
    WriteFile(folder / "in/bad/corrupt.xlsx", "fails\n");
    WriteFile(folder / "in/bad/password.xls", "encrypted\n");
}

// Moves the modification time of a workbook on, as a change would.
void Touch(const fs::path& path)
{
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
}

TEST_F(CliRunTest, PrintsEachStatusThenEveryFailureAndExitsByOutcome)
{
    // The output folder is made, with its parents, when it is missing.
    fs::create_directories(folder / "in/sub");
    WriteFile(folder / "in/sub/book.xls", "sheet Data\n");
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

TEST_F(CliRunTest, TimeLimitsAtTheEndsOfTheRangeAreTakenBadVariablesToldOnce)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/book.xls", "sheet Data\n");
    for (const char* seconds : {"86400", "30.5", "1"}) {
        const Outcome outcome = Cli({"--timeout", seconds, folder / "in", folder / "out"});
        EXPECT_EQ(outcome.exitCode, 0) << seconds << outcome.err;
    }
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

// A stop signal ends the run after the workbooks in work (past the grace, cutting off one that
// hangs, as the window's forced stop does): the summary, the stop line and a report that says
// the run stopped and names the workbooks not reached; a second signal ends the program at once.
TEST_F(CliRunTest, AStopSignalEndsTheRunAfterTheWorkbooksInWorkOrItsGrace)
{
    DescribeSlowWorkbooks(folder.path());
    struct Case
    {
        std::vector<int> signals;
        const char* jobs;
        const char* grace; // nullptr: the default, 5 s
        double graceS;     // -1: no workbook hangs
    };
    const Case cases[] = {
        {{SIGINT}, "1", nullptr, -1}, {{SIGTERM}, "1", nullptr, -1},
        {{SIGHUP}, "1", nullptr, -1}, {{SIGINT}, "2", nullptr, -1},
        {{SIGTERM}, "1", nullptr, 5}, {{SIGTERM}, "1", "0", 0},
        {{SIGTERM}, "1", "1.5", 1.5}, {{SIGTERM, SIGINT}, "1", nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.signals.back())) + ", --jobs " + c.jobs +
                     (c.grace ? std::string(", --stop-grace ") + c.grace : std::string()) +
                     (c.graceS >= 0 ? ", hanging" : ""));
        fs::remove_all(folder / "out");
        fs::create_directories(folder / "out");
        WriteFile(folder / "in/book0.xls",
                  c.graceS >= 0 ? "sheet Data\nhang 600\n" : "sheet Data\nslow 300\n");
        const std::string report = folder / "report.json";
        std::vector<std::string> args = {"--jobs", c.jobs,        "--report",
                                         report,   folder / "in", folder / "out"};
        if (c.grace)
            args.insert(args.begin(), {"--stop-grace", c.grace});
        const pid_t pid = Start(args);
        ASSERT_TRUE(WaitForOutput(folder / "in/book"));
        const auto signalled = std::chrono::steady_clock::now();
        SendInTurn(pid, c.signals);
        const Outcome outcome = Finish(pid);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count();
        EXPECT_EQ(outcome.exitCode, 128 + c.signals.back()) << outcome.err;
        if (c.signals.size() > 1) {
            EXPECT_EQ(outcome.out.find("成功将"), std::string::npos) << outcome.out;
            continue;
        }
        const int pdfs = static_cast<int>(Pdfs(folder / "out").size());
        EXPECT_LT(pdfs, 10);
        const std::string summary = "成功将" + std::to_string(pdfs) + "个excel文件转换为" +
                                    std::to_string(pdfs) + "个pdf文件。\n";
        const std::string stopped =
            "转换已中止：" + std::to_string(10 - pdfs) + "个excel文件未转换。\n";
        EXPECT_NE(outcome.out.find(summary + stopped), std::string::npos) << outcome.out;
        EXPECT_EQ(outcome.out.find("失败"), std::string::npos) << outcome.out;
        if (c.graceS >= 0) {
            EXPECT_GE(seconds, c.graceS);
            EXPECT_LT(seconds, c.graceS + 3);
        } else {
            EXPECT_GE(pdfs, 1);
        }
        ExpectStoppedReport(report, 10 - pdfs);
    }
}

TEST_F(CliRunTest, NamesWithLineBreaksAndEscapeBytesStayOnTheirLine)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/bad\nname\x1b[31m.xlsx", "");
    const Outcome outcome = Cli({folder / "in", folder / "out"});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_EQ(outcome.out.find('\x1b'), std::string::npos) << outcome.out;
    const std::string shown = folder / "in/bad\\nname\\x1b[31m.xlsx";
    EXPECT_EQ(outcome.out.rfind("excel OK!\nWorkBooks OK!\n" + shown + "\n成功将0个", 0), 0u)
        << outcome.out;
    EXPECT_NE(outcome.out.find("\n" + shown + ": 文件是空的\n"), std::string::npos) << outcome.out;
}

// One application or two over the same tree: the same PDFs, summary, failures and report,
// whatever the timing; and the report holds what became of each workbook and sheet.
TEST_F(CliRunTest, OneOrTwoApplicationsGiveTheSameRunAndTheReportSaysWhatHappened)
{
    DescribeMixedTree(folder.path());
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
    }
    EXPECT_EQ(summaries[0], summaries[1]);
    EXPECT_EQ(pdfs[0], pdfs[1]);
    EXPECT_EQ(facts[0], facts[1]);

    const std::set<std::string> expected = {
        "stopped false",
        "workbook a.xls converted -",
        "pdf a.xls Budget -",
        "workbook a.xlsx converted -",
        "pdf a.xlsx Budget -",
        "workbook inventory.xlsx converted -",
        "pdf inventory.xlsx Stock -",
        "pdf inventory.xlsx Orders -",
        "pdf inventory.xlsx Notes blank",
        "workbook bad/corrupt.xlsx failed 无法打开（文件已损坏、已加密或不是工作簿）",
        "workbook bad/password.xls failed 已加密，需要密码",
        "workbook vis.xlsx converted -",
        "pdf vis.xlsx Visible -",
        "pdf vis.xlsx Hidden hidden",
        "pdf vis.xlsx VeryHidden hidden",
    };
    const std::set<std::string> got(facts[0].begin(), facts[0].end());
    for (const std::string& fact : expected)
        EXPECT_EQ(got.count(fact), 1u) << fact;
    EXPECT_EQ(pdfs[0], (std::set<std::string>{"a(Budget).pdf", "a.xlsx(Budget).pdf",
                                              "inventory(Stock).pdf", "inventory(Orders).pdf",
                                              "sub/销售报表(销售).pdf", "vis(Visible).pdf"}));
    // Each PDF the summary counts is on disk.
    EXPECT_EQ(summaries[0].rfind("成功将5个excel文件转换为6个pdf文件。\n失败2个：\n", 0), 0u)
        << summaries[0];
}

// A workbook that hangs its application fails alone, at the call limit; the other application
// converts the rest meanwhile.
TEST_F(CliRunTest, AHangingWorkbookFailsAloneWhileTheOtherApplicationGoesOn)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/hangs.xlsx", "hang 600\n");
    for (int i = 0; i < 11; ++i)
        WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"), Budget);
    const Outcome outcome =
        Cli({"--jobs", "2", "--timeout", "1", "--merge-sheets", folder / "in", folder / "out"});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_NE(outcome.out.find("成功将11个excel文件转换为11个pdf文件。\n失败1个：\n" +
                               (folder / "in/hangs.xlsx") + ": 办公软件1秒内没有响应，已被停止\n"),
              std::string::npos)
        << outcome.out;
    EXPECT_EQ(Pdfs(folder / "out").size(), 11u);
}

// Three shares of one tree, run one after another as three machines would, make exactly the
// PDFs of a whole run, and no workbook is in two of them.
TEST_F(CliRunTest, SharesOfOneTreeMakeTheWholeRunWithoutOverlap)
{
    DescribeMixedTree(folder.path());
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
    EXPECT_EQ(distinct.size(), 7u);
    EXPECT_NE(whole.out.find("成功将" + std::to_string(distinct.size() - 2)), std::string::npos)
        << whole.out;
}

// The listing stays in SOURCE and ends whatever links it holds: one out of the tree is converted
// only with --follow-links, one to /proc is never entered, and 28 levels of two links each (2^28
// paths) are listed as their 28 folders.
TEST_F(CliRunTest, TheListingStaysInTheTreeAndEndsWhateverLinksItHolds)
{
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "elsewhere");
    WriteFile(folder / "in/a.xls", Budget);
    WriteFile(folder / "elsewhere/e.xls", Budget);
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
    WriteFile(levels / "27/deep.xls", Budget);
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
        const pid_t pid = Start(args);
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

// The summary and the failures speak the user's language (--quiet: those only); --report -
// prints the report only, whose names stay; the progress line shows on a terminal and not in a
// pipe.
TEST_F(CliRunTest, QuietJsonOnlyAndTheProgressLineInTheUsersLanguage)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/budget.xls", Budget);
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
        EXPECT_EQ(quiet.err.find("excel"), std::string::npos) << quiet.err;
        const Outcome json = Cli({"--report", "-", folder / "in", folder / "out"}, Speaking(lang));
        EXPECT_EQ(json.exitCode, 1);
        WriteFile(folder / "stdout.json", json.out);
        EXPECT_EQ(ReportFacts(folder / "stdout.json"),
                  (std::vector<std::string>{"stopped false", "workbook budget.xls converted -",
                                            "pdf budget.xls Budget -",
                                            std::string("workbook empty.xlsx failed ") + reason}))
            << json.out;
    }
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
TEST_F(CliRunTest, AReportOrStateThatCannotBeWrittenFailsTheRunAndKeepsTheOldFile)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/budget.xls", Budget);
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
        Touch(folder / "in/budget.xls");
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {folder / "in", folder / "out"});
        standardOutput = c.standardOutput;
        const Outcome outcome = Cli(args, c.env);
        EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_EQ(ReadFile(full / "report.json"), oldReport);
        EXPECT_EQ(ReadFile(full / state), ReadFile(statePath));
        // Runs of a kind share a lock file beside the state: not what this checks.
        std::set<std::string> names = full.Names();
        names.erase(full.Names().count(state + ".lock") ? state + ".lock" : std::string());
        EXPECT_EQ(names, fullNames);
    }
}

// Without HOME the update state goes to the home the password database names, not to the root's
// folders, and a state folder that cannot be made is told with the system's reason.
TEST_F(CliRunTest, WithoutHomeTheStateGoesToTheUsersHomeOrSaysWhyNot)
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
// there, with no application started when that is all; a damaged state means a full run;
// per-sheet and merged runs keep separate states; the PDF of a sheet gone since the last run is
// removed, said and counted, and no other PDF.
TEST_F(CliRunTest, UpdateRunsConvertOnlyWhatChangedOrLostAPdf)
{
    fs::create_directories(folder / "in/sub");
    WriteFile(folder / "in/budget.xls", Budget);
    WriteFile(folder / "in/sub/inventory.xlsx", Inventory);
    WriteFile(folder / "in/other.xls", Budget);
    const fs::path states = folder / "cache/quillsheet-cli/update";
    struct Step
    {
        const char* what;
        std::function<void()> change;
        bool merged;
        std::set<std::string> converted;
        int upToDate;
        int removedPdfs;
    };
    const std::set<std::string> all = {"budget.xls", "sub/inventory.xlsx", "other.xls"};
    const std::vector<Step> steps = {
        {"first run", [] {}, false, all, 0, 0},
        {"unchanged", [] {}, false, {}, 3, 0},
        {"touched", [&] { Touch(folder / "in/budget.xls"); }, false, {"budget.xls"}, 2, 0},
        {"a PDF deleted",
         [&] { fs::remove(folder / "out/sub/inventory(Stock).pdf"); },
         false,
         {"sub/inventory.xlsx"},
         2,
         0},
        {"a sheet gone",
         [&] {
             WriteFile(folder / "out/sub/inventory(Other).pdf", "not the run's");
             WriteFile(folder / "in/sub/inventory.xlsx", "sheet Stock\nsheet Notes blank\n");
         },
         false,
         {"sub/inventory.xlsx"},
         2,
         1},
        {"state damaged",
         [&] {
             for (const auto& state : fs::directory_iterator(states))
                 if (state.path().extension() == ".json")
                     WriteFile(state.path(), "{\"workbooks\": [");
         },
         false, all, 0, 0},
        {"merged: its own state", [] {}, true, all, 0, 0},
        {"merged again", [] {}, true, {}, 3, 0},
        {"per sheet still up to date", [] {}, false, {}, 3, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        // Nothing to convert starts no application.
        std::vector<std::string> env = CacheHere();
        if (step.converted.empty())
            env.push_back("QUILLSHEET_FAKE_NO_START=1");
        std::vector<std::string> args = {"--update", "--jobs", "1", "--report", folder / "r.json"};
        if (step.merged)
            args.push_back("--merge-sheets");
        args.insert(args.end(), {folder / "in", folder / (step.merged ? "merged" : "out")});
        const Outcome outcome = Cli(args, env);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(Converted(outcome.out), step.converted) << outcome.out;
        const std::string summary = FromSummary(outcome.out);
        EXPECT_EQ(
            summary.rfind("成功将" + std::to_string(step.converted.size()) + "个excel文件", 0), 0u)
            << outcome.out;
        const std::string upToDate =
            "\n另有" + std::to_string(step.upToDate) + "个excel文件未改动，已跳过。\n";
        EXPECT_EQ(summary.find(upToDate) != std::string::npos, step.upToDate > 0) << outcome.out;
        EXPECT_EQ(summary.find("\n已删除1个不再生成的pdf文件。\n") != std::string::npos,
                  step.removedPdfs > 0)
            << outcome.out;
        const std::vector<std::string> facts = ReportFacts(folder / "r.json");
        EXPECT_EQ(std::count(facts.begin(), facts.end(), "invalid"), 0);
        EXPECT_EQ(static_cast<int>(std::count_if(facts.begin(), facts.end(),
                                                 [](const std::string& fact) {
                                                     return fact.find(" up to date -") !=
                                                            std::string::npos;
                                                 })),
                  step.upToDate);
        const std::string report = ReadFile(folder / "r.json");
        EXPECT_NE(report.find("\"removedPdfs\": " + std::to_string(step.removedPdfs)),
                  std::string::npos)
            << report;
        if (step.removedPdfs > 0) {
            EXPECT_NE(report.find(folder / "out/sub/inventory(Orders).pdf"), std::string::npos)
                << report;
            EXPECT_EQ(Pdfs(folder / "out/sub"),
                      (std::set<std::string>{"inventory(Stock).pdf", "inventory(Other).pdf"}));
        }
    }
    EXPECT_EQ(std::count_if(fs::directory_iterator(states), fs::directory_iterator(),
                            [](const fs::directory_entry& entry) {
                                return entry.path().extension() == ".json";
                            }),
              2);
    EXPECT_EQ(Pdfs(folder / "in").size(), 0u) << "no state among the user's files";
}

// Shards of one tree kept up to date at once each keep a state of their own, and runs of one
// share take turns with theirs (the later says that it waits): run again, no share converts
// anything; a workbook changed meanwhile is converted again, whatever the order of the runs.
TEST_F(CliRunTest, UpdateSharesRunAtOnceLoseNothing)
{
    fs::create_directories(folder / "in");
    // Slow enough that the runs of a round overlap.
    for (int i = 0; i < 6; ++i)
        WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"), Budget + "slow 300\n");
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
    Touch(folder / "in/book4.xls");
    EXPECT_EQ(round({"3/3", "1/3", "2/3"}).first, 1);
    Touch(folder / "in/book0.xls");
    Touch(folder / "in/book5.xls");
    const auto [converted, errors] = round({"2/3", "1/3", "3/3", "3/3", "1/3", "2/3"});
    EXPECT_EQ(converted, 2) << "each changed workbook once, by one run of its share";
    EXPECT_NE(errors.find("另一个运行正在使用同一更新状态"), std::string::npos) << errors;
    EXPECT_EQ(round({"1/3", "2/3", "3/3"}).first, 0);
}

// Without --jobs a run takes as many applications as the CPUs it may use, at most 4: one when
// its affinity allows one CPU.
TEST_F(CliRunTest, TheDefaultApplicationsAreTheCpusTheRunMayUse)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/budget.xls", Budget);
    WriteFile(folder / "in/inventory.xlsx", Inventory);
    launcher = {"/usr/bin/taskset", "-c", "0"};
    EXPECT_NE(Cli({"--help"}).out.find("(here 1: the CPUs"), std::string::npos);
    // The report's folders are made.
    const std::string report = folder / "reports/new/r.json";
    const Outcome outcome = Cli({"--report", report, folder / "in", folder / "out"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_NE(ReadFile(report).find("\"jobs\": 1,"), std::string::npos);
}

// A workbook written in slowly is converted once, when complete; a changed one again; a removed
// one leaves its PDF; one moved in has its PDF within 1.5 s of the move, and one written into a
// folder made meanwhile or in a folder moved in whole are converted too, after the long wait
// when the folder's listing, not its events, found them. SIGINT ends the watch with the stop
// line.
TEST_F(CliRunTest, WatchConvertsWhatArrivesOnceCompleteUntilAStopSignal)
{
    fs::create_directories(folder / "in");
    fs::create_directories(folder / "staging/box");
    WriteFile(folder / "in/budget.xls", Budget);
    WriteFile(folder / "staging/moved.xls", "sheet Data\n");
    WriteFile(folder / "staging/box/boxed.xls", "sheet Data\n");
    const pid_t pid = Start({"--watch", folder / "in", folder / "out"}, CacheHere());
    ASSERT_TRUE(WaitForOutput("成功将1个excel文件转换为1个pdf文件。\n"));

    {
        std::ofstream slow(folder / "in/slow.xlsx", std::ios::binary);
        for (const char* part : {"sheet Stock\n", "sheet Orders\n", "sheet Notes blank\n"}) {
            slow << part << std::flush;
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    }
    ASSERT_TRUE(WaitForOutput("成功将1个excel文件转换为2个pdf文件。\n"));
    EXPECT_TRUE(fs::exists(folder / "out/slow(Orders).pdf"));

    WriteFile(folder / "in/budget.xls", "sheet Changed\n");
    ASSERT_TRUE(WaitForOutput(folder / "in/budget.xls", 2));
    ASSERT_TRUE(WaitForOutput("成功将1个excel文件转换为1个pdf文件。\n", 2));
    EXPECT_TRUE(fs::exists(folder / "out/budget(Changed).pdf"));
    fs::remove(folder / "in/budget.xls");

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
             WriteFile(folder / "in/new/deeper/made.xls", "sheet Data\n");
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
    EXPECT_EQ(Occurrences(outcome.out, folder / "in/slow.xlsx"), 1) << outcome.out;
    EXPECT_EQ(Occurrences(outcome.out, folder / "in/budget.xls"), 2) << outcome.out;
    for (const char* path : {"moved.xls", "new/deeper/made.xls", "box/boxed.xls"})
        EXPECT_EQ(Occurrences(outcome.out, folder / ("in/" + std::string(path))), 1) << outcome.out;
    EXPECT_EQ(Occurrences(outcome.out, "excel OK!\nWorkBooks OK!\n"), 1) << outcome.out;
    EXPECT_EQ(outcome.out.find("失败"), std::string::npos) << outcome.out;
    const std::string stopLine = "转换已中止：0个excel文件未转换。\n";
    EXPECT_EQ(outcome.out.size() - outcome.out.rfind(stopLine), stopLine.size()) << outcome.out;
    EXPECT_TRUE(fs::exists(folder / "out/budget(Changed).pdf"));
}

// --watch --quiet prints each batch's summary and no line of a workbook; a workbook that failed
// and then converted is no failure at the end: not among the failure lines, nor in the report.
TEST_F(CliRunTest, AQuietWatchPrintsEachBatchsSummaryAndEndsWithWhatBecameOfEachWorkbook)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "in/budget.xls", Budget);
    const std::string report = folder / "report.json";
    const pid_t pid = Start(
        {"--watch", "--quiet", "--report", report, folder / "in", folder / "out"}, CacheHere());
    const std::string converted = "成功将1个excel文件转换为1个pdf文件。\n";
    ASSERT_TRUE(WaitForOutput(converted));
    WriteFile(folder / "in/late.xls", "");
    ASSERT_TRUE(WaitForOutput("失败1个：\n"));
    WriteFile(folder / "in/late.xls", "sheet Data\n");
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
