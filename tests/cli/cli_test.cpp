#include "automation/officenames.h"
#include "cli/clitest.h"
#include "common/fullfilesystem.h"
#include "common/officeprocesses.h"
#include "common/pdf.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

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

// A stop signal while the office hangs in a call ends the run once the grace has passed, within
// 3 s more, as the window's forced stop does: the report is written, says the run stopped and
// names the workbooks cut off as not converted, and no office or file of one is left. (The
// graces and the stop of a run whose workbooks go on are CliRunTest's.)
TEST_F(CliTest, AStopSignalEndsARunWhoseOfficeHangsWithinItsGrace)
{
    MakeSlowWorkbooks();
    const std::string report = folder / "report.json";
    const pid_t pid = Start(
        {"--stop-grace", "0", "--jobs", "1", "--report", report, folder / "in", folder / "out"});
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
    EXPECT_LT(seconds, 3);
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

TEST_F(CliTest, ASecondSignalEndsTheProgramAtOnceWithoutLeftovers)
{
    MakeSlowWorkbooks();
    const pid_t pid = Start({"--jobs", "1", folder / "in", folder / "out"});
    ASSERT_TRUE(WaitForOutput(folder / "in/book0.xls"));
    const std::set<std::string> sockets = OfficeSocketsOf(pid);
    EXPECT_EQ(sockets.size(), 2u) << "the office's pipe and single-instance socket";
    SendInTurn(pid, {SIGTERM, SIGINT});
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
} // namespace
