#include "convert/mergeobject.h"
#include "convert/platformtexts.h"
#include "convert/runplan.h"
#include "convert/runprogress.h"
#include "convert/runreport.h"
#include "convert/runsettings.h"
#include "convert/watchrun.h"

#include "common/fakeapplications.h"
#include "common/pdf.h"
#include "common/qtprint.h"
#include "common/tempfolder.h"
#ifndef _WIN32
#include "common/deepfolder.h"
#endif
#include "convert/recordingobject.h"
#include "excel/excelapplication.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A call of Excel's as the recording object logs it: object.how("member", args...).
QString Call(const char* object, const char* how, const QString& member,
             const QStringList& args = {})
{
    QString call = QString::fromLatin1(object) + '.' + how + "(\"" + member + '"';
    for (const QString& arg : args)
        call += ", " + arg;
    return call + ')';
}

QString Text(const QString& text)
{
    return '"' + text + '"';
}

// The kinds of run, as the window and the command line start them.
enum class RunKind
{
    OneJob,
    TwoJobs,
    Watch // its first batch, after which it is stopped
};

// Runs against fake applications, answering from workbooks the test describes: what a run does,
// its texts, records and reports; and, through the Windows adapter over recording objects, the
// calls it makes, in order, with their exact member strings and arguments, which is what Excel
// receives on Windows.
class RunCallsTest : public ::testing::TestWithParam<RunKind>
{
protected:
    TempFolder source;
    TempFolder output;
    FakeApplications applications;
    FakeWorkbooks& books = applications.books;
    QStringList texts;
    int ends = 0;

    void SetUp() override
    {
        SourcePath = Native(source.path().string());
        SavePath = Native(output.path().string());
        SaveToQuondamPath = false;
        MergeSheets = false;
    }

    // The applications made from now on are Excel's adapter over recording objects.
    void ThroughExcel()
    {
        applications.makeApplication = [](FakeWorkbooks& described, CallLog log) {
            return std::make_unique<ExcelApplication<RecordingObject>>(described, log);
        };
    }

    std::unique_ptr<ConversionRun> MakeRun(RunKind kind, RunOptions options = RunOptions())
    {
        switch (kind) {
        case RunKind::OneJob:
            return std::make_unique<MergeObject>(applications, options);
        case RunKind::TwoJobs:
            options.jobs = 2;
            return std::make_unique<MergeObject>(applications, options);
        case RunKind::Watch:
            break;
        }
        auto watch = std::make_unique<WatchRun>(applications, options);
        watch->SetBatchDoneHook(
            [run = watch.get()](const RunRecord&, const QHash<QString, FileVersion>&) {
                run->RequestStop();
            });
        return watch;
    }

    static QString Native(const std::string& path)
    {
        return QDir::toNativeSeparators(QString::fromStdString(path));
    }

    // A workbook file in the source tree, answered with these sheets.
    QString Add(const std::string& relative, QList<FakeSheet> sheets)
    {
        fs::create_directories(fs::path(source / relative).parent_path());
        WriteFile(source / relative, "x");
        const QString path = Native(source / relative);
        books.workbooks[path].sheets = sheets;
        return path;
    }

    // The calls of every application of the run, application by application.
    QStringList Run(ConversionRun& run)
    {
        applications.made.clear();
        QObject::connect(&run, &ConversionRun::ShowDisposingFile,
                         [this](const QString& text) { texts << text; });
        QObject::connect(&run, &ConversionRun::Signal_SetButtonEnable, [this] { ++ends; });
        run.Transform();
        return applications.Calls();
    }
    QStringList Run(RunKind kind = RunKind::OneJob) { return Run(*MakeRun(kind)); }

    static FakeSheet Sheet(const char* name, int rows, int columns,
                           const QVariant& value = QStringLiteral("v"), int visibility = -1,
                           int shapes = 0, bool prints = true)
    {
        return {name, rows, columns, value, true, visibility, shapes, prints};
    }

    const QStringList start = {
        "setControl(\"Excel.Application\")",
        Call("application", "dynamicCall", "SetVisible (bool Visible)", {Text("false")}),
        Call("application", "setProperty", "DisplayAlerts", {"false"}),
        Call("application", "querySubObject", "WorkBooks"),
    };
    const QString quit = Call("application", "dynamicCall", "Quit(void)");

    // The calls for one worksheet up to its blank test.
    static QStringList SheetCalls(int k, int row = 1, int column = 1)
    {
        return {Call("workbook", "querySubObject", "WorkSheets(int)", {QString::number(k)}),
                Call("worksheet", "property", "Visible"),
                Call("worksheet", "querySubObject", "UsedRange"),
                Call("range", "property", "Row"),
                Call("range", "property", "Column"),
                Call("range", "querySubObject", "Rows"),
                Call("range", "querySubObject", "Columns"),
                Call("worksheet", "querySubObject", "Cells(int, int)",
                     {QString::number(row), QString::number(column)}),
                Call("rows", "property", "Count")};
    }
};

TEST_P(RunCallsTest, PerSheetModeCallsAndBlankTestOrder)
{
    ThroughExcel();
    const QString book = Add(
        "q1/sales.xlsx", {Sheet("Wide", 3, 2), Sheet("Row", 1, 4), Sheet("Blank", 1, 1, QVariant()),
                          Sheet("Zero", 1, 1, 0.0), Sheet("Drawing", 1, 1, QVariant(), -1, 2),
                          Sheet("NoPage", 3, 3, "v", -1, 0, false), Sheet("Hidden", 3, 3, "v", 0),
                          Sheet("VeryHidden", 3, 3, "v", 2)});
    WriteFile(source / "q1/notes.txt", "not a workbook");
    const auto exportTo = [this](const char* sheet) {
        return Call("worksheet", "dynamicCall", "ExportAsFixedFormat(QVariant,QVariant)",
                    {"0", Text(Native(output / "q1/sales(") + sheet + ").pdf")});
    };
    const QString name = Call("worksheet", "property", "Name");
    const QString columns = Call("columns", "property", "Count");
    const QString value = Call("cell", "dynamicCall", "Value()");
    // Drawings are counted last, and only for what looks blank by its cells.
    const QStringList drawings = {Call("worksheet", "querySubObject", "Shapes"),
                                  Call("shapes", "property", "Count")};
    QStringList expected = start;
    expected << Call("workbooks", "querySubObject", "Open(const QString&)", {Text(book)})
             << Call("workbook", "querySubObject", "Sheets") << Call("sheets", "property", "Count");
    expected << SheetCalls(1) << name << exportTo("Wide");
    expected << SheetCalls(2) << columns << name << exportTo("Row");
    expected << SheetCalls(3) << columns << value << drawings << name;
    expected << SheetCalls(4) << columns << value << name << exportTo("Zero");
    expected << SheetCalls(5) << columns << value << drawings << name << exportTo("Drawing");
    // A sheet that prints no page is exported all the same: Excel refuses it then.
    expected << SheetCalls(6) << name << exportTo("NoPage");
    // Hidden and very hidden sheets are left out, as blank ones are, before their used range.
    for (int k : {7, 8})
        expected << SheetCalls(k).mid(0, 2) << name;
    expected << Call("workbook", "dynamicCall", "Close (Boolean)", {"false"}) << quit;
    EXPECT_EQ(Run(GetParam()).join('\n').toStdString(), expected.join('\n').toStdString());

    // The office refuses the sheet that prints nothing as such: left out on purpose, as the
    // others, each with its reason; none of them is a failure.
    applications.makeApplication = nullptr;
    texts.clear();
    const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
    const QStringList calls = Run(*run);
    EXPECT_EQ(texts, (QStringList{"excel OK!", "WorkBooks OK!", book,
                                  QStringLiteral("成功将1个excel文件转换为4个pdf文件。")}));
    EXPECT_EQ(ends, 2);
    EXPECT_TRUE(run->Failures().isEmpty());
    // A hidden sheet gets no blank test.
    EXPECT_EQ(calls.mid(calls.indexOf("Hidden(7)")),
              (QStringList{"Hidden(7)", "Name(7)", "Hidden(8)", "Name(8)", "Close", "Quit"}));
    using Why = SkippedSheet::Why;
    std::vector<std::pair<QString, Why>> skipped;
    for (const SkippedSheet& sheet : run->Record().workbooks.value(0).skipped)
        skipped.emplace_back(sheet.sheet, sheet.why);
    EXPECT_EQ(skipped, (std::vector<std::pair<QString, Why>>{{"Blank", Why::Blank},
                                                             {"NoPage", Why::NothingToPrint},
                                                             {"Hidden", Why::Hidden},
                                                             {"VeryHidden", Why::Hidden}}));
}

TEST_P(RunCallsTest, MergedModeExportsEachWorkbookWholeWithoutABlankTest)
{
    ThroughExcel();
    MergeSheets = true;
    const QString book = Add("q1.sales.xlsx", {Sheet("Blank", 1, 1, QVariant())});
    QStringList expected = start;
    expected << Call("workbooks", "querySubObject", "Open(const QString&)", {Text(book)})
             << Call("workbook", "querySubObject", "Sheets") << Call("sheets", "property", "Count")
             << Call("workbook", "dynamicCall", "ExportAsFixedFormat(QVariant,QVariant)",
                     {"0", Text(Native(output / "q1.sales.pdf"))})
             << Call("workbook", "dynamicCall", "Close (Boolean)", {"false"}) << quit;
    EXPECT_EQ(Run(GetParam()).join('\n').toStdString(), expected.join('\n').toStdString());
    EXPECT_EQ(texts.last(), QStringLiteral("成功将1个excel文件转换为1个pdf文件。"));
}

// Sheets the application left out (the office: names it does not take) fail under the names the
// workbook gives them, whichever the mode; only such a workbook gets the calls that find them.
TEST_F(RunCallsTest, SheetsTheApplicationLeftOutFailUnderTheirNames)
{
    FakeSheet leftOut = Sheet("a/b", 2, 2);
    leftOut.loaded = false;
    const QString book = Add("book.xlsx", {Sheet("First", 2, 2), leftOut, Sheet("Last", 2, 2)});
    for (const bool merged : {false, true}) {
        SCOPED_TRACE(merged ? "merged" : "per sheet");
        MergeSheets = merged;
        texts.clear();
        fs::remove_all(output.path());
        const std::unique_ptr<ConversionRun> run = MakeRun(RunKind::OneJob);
        const QStringList calls = Run(*run);
        EXPECT_EQ(run->Failures(),
                  QStringList{book + QStringLiteral("(a/b): 工作表名称无效，无法读取")});
        ASSERT_EQ(run->Record().workbooks.size(), 1);
        const WorkbookRecord& record = run->Record().workbooks[0];
        EXPECT_EQ(record.outcome, WorkbookRecord::Outcome::Failed);
        ASSERT_EQ(record.failures.size(), 1);
        EXPECT_EQ(record.failures[0].detail, "not loaded");
        QStringList pdfs;
        for (const auto& pdf : record.pdfs)
            pdfs << QFileInfo(pdf.path).fileName();
        EXPECT_EQ(pdfs, merged ? QStringList{"book.pdf"}
                               : (QStringList{"book(First).pdf", "book(Last).pdf"}));
        // The sheet left out is asked for its visibility, then its name, and nothing more.
        const int at = calls.indexOf("Hidden(2)");
        ASSERT_GE(at, 0);
        EXPECT_EQ(calls.mid(at, 3), (QStringList{"Hidden(2)", "Name(2)", "Hidden(3)"}));
        if (merged) {
            EXPECT_EQ(calls.indexOf("ExportWorkbook(" + Native(output / "book.pdf") + ')'),
                      calls.indexOf("Hidden(1)") - 1);
        }
    }
}

TEST_F(RunCallsTest, PdfNamesStayInTheWorkbooksFolderAndNeverCollide)
{
    const QList<FakeSheet> sheets = {Sheet("../../x", 2, 2), Sheet("a/b", 2, 2), Sheet("a_b", 2, 2),
                                     Sheet("S\nT", 2, 2)};
    const QString xls = Add("q/a.xls", sheets);
    const QString xlsx = Add("q/a.xlsx", sheets);
    const QStringList calls = Run();
    // Whichever the listing gives first keeps the base name; the other takes its file name.
    const auto opened = [&calls](const QString& book) {
        return calls.indexOf("Open(" + book + ')');
    };
    const bool xlsFirst = opened(xls) < opened(xlsx);
    const QString later = xlsFirst ? "a.xlsx" : "a.xls";
    QStringList exported;
    for (const QString& call : calls.filter("ExportSheet("))
        exported << call.section(", ", 1).chopped(1);
    QStringList expected;
    for (const QString& base : {QStringLiteral("a"), later})
        for (const char* name : {"(.._.._x).pdf", "(a_b).pdf", "(a_b) (2).pdf", "(S_T).pdf"})
            expected << Native(output / "q/") + base + name;
    EXPECT_EQ(exported, expected);
    EXPECT_EQ(texts.last(), QStringLiteral("成功将2个excel文件转换为8个pdf文件。"));
    int onDisk = 0;
    for (const auto& entry : fs::recursive_directory_iterator(output.path()))
        onDisk += entry.path().extension() == ".pdf";
    EXPECT_EQ(onDisk, 8);
}

// x.xlsx's sheet "S)(T" and x(S).xlsx's sheet "T" both make x(S)(T).pdf: the later of the two
// in list order takes " (2)", in every kind of run and under every share, also when the earlier
// is slow to open and another application reaches the later one first.
TEST_P(RunCallsTest, TwoWorkbooksNeverWriteOnePdf)
{
    const QString plain = Add("q/x.xlsx", {Sheet("S)(T", 2, 2), Sheet("U", 2, 2)});
    const QString bracketed = Add("q/x(S).xlsx", {Sheet("T", 2, 2)});
    // Enough workbooks for a second application to pay.
    for (int i = 0; i < 12; ++i)
        Add("q/y" + std::to_string(i) + ".xlsx", {Sheet("S", 2, 2)});
    QStringList listed;
    for (const WorkbookTask& task :
         PlanRun(ReadRunSettings(), Shard(), ListingRules(), nullptr).tasks)
        listed << task.path;
    const bool plainFirst = listed.indexOf(plain) < listed.indexOf(bracketed);
    books.onOpen = [earlier = plainFirst ? plain : bracketed](const QString& path) {
        if (path == earlier)
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
    };
    const QString first = Native(output / "q/x(S)(T).pdf");
    const QString second = Native(output / "q/x(S)(T) (2).pdf");
    const std::map<QString, QStringList> expected = {
        {plain, {plainFirst ? first : second, Native(output / "q/x(U).pdf")}},
        {bracketed, {plainFirst ? second : first}}};
    for (const int count : {1, 2, 3}) {
        SCOPED_TRACE(count);
        fs::remove_all(output.path());
        fs::create_directories(output.path());
        int sharesWithThePair = 0;
        for (int index = 1; index <= count; ++index) {
            RunOptions options;
            options.shard = {index, count};
            const std::unique_ptr<ConversionRun> run = MakeRun(GetParam(), options);
            Run(*run);
            if (count == 1 && GetParam() == RunKind::TwoJobs) {
                EXPECT_EQ(applications.made.size(), 2u);
            }
            std::map<QString, QStringList> made;
            for (const WorkbookRecord& workbook : run->Record().workbooks)
                if (expected.count(workbook.path))
                    for (const PdfRecord& pdf : workbook.pdfs)
                        made[workbook.path] << pdf.path;
            if (!made.empty()) {
                ++sharesWithThePair;
                EXPECT_EQ(made, expected);
            }
        }
        EXPECT_EQ(sharesWithThePair, 1);
        EXPECT_EQ(PdfsBelow(output.path()).size(), 15u);
    }
}

// A workbook whose PDF names depend on another's is converted with it, even when it is unchanged,
// so that the other never takes a name it keeps.
TEST_F(RunCallsTest, AWorkbookIsLeftOutAsUpToDateOnlyWithItsNameGroup)
{
    const QString plain = Add("x.xlsx", {Sheet("S)(T", 2, 2)});
    const QString bracketed = Add("x(S).xlsx", {Sheet("T", 2, 2)});
    const QString other = Add("z.xlsx", {Sheet("T", 2, 2)});
    const QString otherFolder = Add("sub/x.xlsx", {Sheet("T", 2, 2)});
    RunOptions options;
    options.upToDate = [&](const QString& path) { return path != bracketed; };
    MergeObject run(applications, options);
    Run(run);
    std::map<QString, WorkbookRecord::Outcome> outcomes;
    for (const WorkbookRecord& workbook : run.Record().workbooks)
        outcomes[workbook.path] = workbook.outcome;
    EXPECT_EQ(outcomes, (std::map<QString, WorkbookRecord::Outcome>{
                            {plain, WorkbookRecord::Outcome::Converted},
                            {bracketed, WorkbookRecord::Outcome::Converted},
                            {other, WorkbookRecord::Outcome::UpToDate},
                            {otherFolder, WorkbookRecord::Outcome::UpToDate}}));
}

// In a watch, a changed workbook is converted again with the unchanged one whose PDF names
// depend on it, and the pair keeps its names.
TEST_F(RunCallsTest, AWatchConvertsAChangedWorkbookWithItsNameGroup)
{
    const QString plain = Add("x.xlsx", {Sheet("S)(T", 2, 2)});
    const QString bracketed = Add("x(S).xlsx", {Sheet("T", 2, 2)});
    Add("z.xlsx", {Sheet("T", 2, 2)});
    WatchRun run(applications, RunOptions());
    std::vector<std::map<QString, QStringList>> batches;
    run.SetBatchDoneHook([&](const RunRecord& batch, const QHash<QString, FileVersion>&) {
        batches.emplace_back();
        for (const WorkbookRecord& workbook : batch.workbooks)
            for (const PdfRecord& pdf : workbook.pdfs)
                batches.back()[workbook.path] << pdf.path;
        if (batches.size() == 1)
            WriteFile(source / "x(S).xlsx", "changed");
        else
            run.RequestStop();
    });
    // However the watch goes, the test ends.
    std::promise<void> ended;
    std::thread deadline([&run, done = ended.get_future()] {
        if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout)
            run.RequestStop();
    });
    Run(run);
    ended.set_value();
    deadline.join();
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[1].size(), 2u);
    EXPECT_EQ(batches[1][plain], batches[0][plain]);
    EXPECT_EQ(batches[1][bracketed], batches[0][bracketed]);
    EXPECT_NE(batches[1][plain], batches[1][bracketed]);
}

TEST_P(RunCallsTest, WithoutAServerTheRunSaysSoAndStillQuits)
{
    ThroughExcel();
    books.starts = false;
    Add("a.xlsx", {Sheet("S", 2, 2)});
    const QStringList expected = {
        "setControl(\"Excel.Application\")",
        Call("null", "dynamicCall", "SetVisible (bool Visible)", {Text("false")}),
        Call("null", "setProperty", "DisplayAlerts", {"false"}),
        Call("null", "querySubObject", "WorkBooks"),
        Call("null", "dynamicCall", "Quit(void)"),
    };
    EXPECT_EQ(Run(GetParam()), expected);
    EXPECT_EQ(texts, (QStringList{"excel OK!", "WorkBooks OK!", NoOfficeMessage()}));
    EXPECT_EQ(ends, 1);

    applications.makeApplication = nullptr;
    texts.clear();
    const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
    EXPECT_EQ(Run(*run), (QStringList{"Bind", "Quit"}));
    EXPECT_EQ(texts, (QStringList{"excel OK!", "WorkBooks OK!", NoOfficeMessage()}));
    EXPECT_EQ(run->Failures(), QStringList{QStringLiteral("Excel.Application: 办公软件无法启动")});

    // An office that is there but cannot start is not told as missing.
    books.startFailure = FailureKind::TemporaryFolderUnusable;
    texts.clear();
    const std::unique_ptr<ConversionRun> again = MakeRun(GetParam());
    Run(*again);
    const QString full = QStringLiteral("临时文件夹已满或不可用，办公软件无法启动");
    EXPECT_EQ(texts, (QStringList{"excel OK!", "WorkBooks OK!", full}));
    EXPECT_EQ(again->Failures(), QStringList{"Excel.Application: " + full});
}

// Every kind of run records whether its applications ran in their sandbox, and why not: turned
// off by the run, or as this machine allows.
TEST_P(RunCallsTest, TheRecordSaysWhetherTheApplicationsRanInTheirSandbox)
{
    Add("a.xlsx", {Sheet("S", 2, 2)});
    for (const QString& why : {QString(), QStringLiteral("turned off")}) {
        SCOPED_TRACE(why.toStdString());
        applications.unsandboxedBecause = why;
        const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
        Run(*run);
        EXPECT_EQ(run->Record().sandboxed, why.isEmpty());
        EXPECT_EQ(run->Record().unsandboxedBecause, why);
    }
}

TEST_P(RunCallsTest, FailuresAreCountedOutAndNamedAfterTheSummary)
{
    const QString bad = Add("a/bad.xlsx", {});
    books.workbooks[bad].opens = false;
    FakeSheet unreadable = Sheet("U", 2, 2);
    unreadable.readable = false;
    const QString mixed = Add("b/mixed.xlsx", {Sheet("Good", 2, 2), unreadable});
    const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
    Run(*run);
    // Messages of the application that match no plain reason are kept for the report.
    const QString generic = QStringLiteral("办公软件报告了错误");
    const QStringList failures = {bad + ": " + generic, mixed + "(#2): " + generic};
    EXPECT_EQ(run->Failures(), failures);
    ASSERT_EQ(run->Record().workbooks.size(), 2);
    const WorkbookRecord& first = run->Record().workbooks[0].path == bad
                                      ? run->Record().workbooks[0]
                                      : run->Record().workbooks[1];
    EXPECT_EQ(first.outcome, WorkbookRecord::Outcome::Failed);
    ASSERT_EQ(first.failures.size(), 1);
    EXPECT_EQ(first.failures[0].detail, "damaged");
    // Neither counts as converted: one did not open, one lost a sheet (its other sheet's PDF
    // counts, as it is on disk).
    EXPECT_EQ(texts.last(), QStringLiteral("成功将0个excel文件转换为1个pdf文件。\n失败2个：\n") +
                                failures.join('\n'));
    // The output folder of a workbook that did not open exists all the same.
    EXPECT_TRUE(fs::is_directory(output / "a"));
}

// A workbook whose sheets cannot be counted failed, through either application: it is no
// workbook without sheets, converted with nothing to show.
TEST_P(RunCallsTest, AWorkbookWhoseSheetsCannotBeCountedFails)
{
    const QString book = Add("a.xlsx", {Sheet("S", 2, 2)});
    books.workbooks[book].counted = false;
    for (const bool excel : {false, true}) {
        SCOPED_TRACE(excel ? "Excel's adapter" : "the office's kind of application");
        if (excel)
            ThroughExcel();
        const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
        Run(*run);
        ASSERT_EQ(run->Record().workbooks.size(), 1);
        EXPECT_EQ(run->Record().workbooks[0].outcome, WorkbookRecord::Outcome::Failed);
        EXPECT_EQ(run->Failures().size(), 1);
        EXPECT_EQ(run->Record().Pdfs(), 0);
    }
}

TEST_P(RunCallsTest, AnExportThatWritesNothingIsNotCountedNorIsAnOlderFile)
{
    books.exportsWrite = false;
    const QString book = Add("a.xlsx", {Sheet("Old", 2, 2), Sheet("New", 2, 2)});
    WriteFile(output / "a(Old).pdf", "from an earlier run");
    const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
    Run(*run);
    EXPECT_EQ(texts.last().section('\n', 0, 0),
              QStringLiteral("成功将0个excel文件转换为0个pdf文件。"));
    EXPECT_EQ(run->Failures(), (QStringList{book + QStringLiteral("(Old): 没有写出pdf文件"),
                                            book + QStringLiteral("(New): 没有写出pdf文件")}));
}

TEST_P(RunCallsTest, TheSummaryNamesTheFirstFiveFailures)
{
    for (int i = 0; i < 7; ++i)
        books.workbooks[Add("bad" + std::to_string(i) + ".xlsx", {})].opens = false;
    const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
    Run(*run);
    const QStringList lines = texts.last().split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[1], QStringLiteral("失败7个："));
    EXPECT_EQ(lines[7], QStringLiteral("另有2个失败未列出。"));
    EXPECT_EQ(run->Failures().size(), 7);
}

#ifndef _WIN32
// A folder the listing cannot give counts in the totals as one failed workbook: what it holds is
// unknown, but it no longer vanishes from them.
TEST_P(RunCallsTest, AFolderPastTheLongestPathCountsAsAFailedWorkbook)
{
    Add("a.xlsx", {Sheet("S", 2, 2)});
    const DeepFolder deep(source.path());
    ASSERT_TRUE(deep.made());
    const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
    Run(*run);
    EXPECT_EQ(run->Record().AllWorkbooks(), 2);
    EXPECT_EQ(run->Record().FailedWorkbooks(), 1);
    ASSERT_EQ(run->Failures().size(), 1);
    EXPECT_TRUE(run->Failures()[0].endsWith(QStringLiteral(": 路径太长")))
        << run->Failures()[0].toStdString();
}
#endif

TEST_F(RunCallsTest, AStopRequestEndsTheRunAfterTheWorkbookInWork)
{
    Add("a/1.xlsx", {Sheet("S", 2, 2)});
    Add("b/2.xlsx", {Sheet("S", 2, 2)});
    MergeObject run(applications);
    books.onOpen = [&run](const QString&) { run.RequestStop(); };
    const QStringList calls = Run(run);
    EXPECT_EQ(calls.filter("Open(").size(), 1);
    EXPECT_EQ(calls.filter("Close").size(), 1);
    EXPECT_EQ(calls.last(), "Quit");
    EXPECT_EQ(texts.last(), QStringLiteral("成功将1个excel文件转换为1个pdf文件。"));
    EXPECT_EQ(run.NotConverted(), 1);
}

// The summary, the text report, the JSON report's totals and the progress line give the same
// numbers, and they add up: a workbook that failed in part, or was cut off by a forced stop, is
// never counted as converted, and one cut off is not counted as done in the progress either.
TEST_F(RunCallsTest, CountsAddUpInTheSummaryReportsAndProgress)
{
    struct Case
    {
        const char* name;
        std::function<void(ConversionRun&)> setUp;
        int converted, failed, notConverted, pdfs;
    };
    FakeSheet unreadable = Sheet("U", 2, 2);
    unreadable.readable = false;
    FakeSheet alsoUnreadable = unreadable;
    alsoUnreadable.name = QStringLiteral("V");
    const Case cases[] = {
        {"every workbook converted", [](ConversionRun&) {}, 3, 0, 0, 3},
        {"two sheets of one fail",
         [&](ConversionRun&) {
             books.workbooks[Native(source / "2.xlsx")].sheets << unreadable << alsoUnreadable;
         },
         2, 1, 0, 3},
        {"no PDF can be written, as in a read-only folder",
         [this](ConversionRun&) { books.exportsWrite = false; }, 0, 3, 0, 0},
        {"stopped after the first",
         [this](ConversionRun& run) {
             books.onOpen = [&run](const QString&) { run.RequestStop(); };
         },
         1, 0, 2, 1},
        {"the second cut off by a forced stop",
         [&](ConversionRun& run) {
             const QString second = Native(source / "2.xlsx");
             books.workbooks[second].sheets << unreadable;
             books.onOpen = [&run, second](const QString& path) {
                 if (path == second)
                     run.ForceStop();
             };
         },
         1, 0, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        books.workbooks.clear();
        books.exportsWrite = true;
        books.onOpen = nullptr;
        texts.clear();
        fs::remove_all(output.path());
        fs::create_directories(output.path());
        for (const char* book : {"1.xlsx", "2.xlsx", "3.xlsx"})
            Add(book, {Sheet("S", 2, 2)});
        MergeObject run(applications);
        c.setUp(run);
        RunProgress progress;
        run.SetWorkbookBegunHook([&](const QString& path) {
            progress.SetTotal(run.ToConvert(), run.WorkToConvert());
            progress.Begun(path);
        });
        run.SetWorkbookDoneHook([&](const WorkbookRecord& workbook) { progress.Done(workbook); });
        Run(run);
        progress.End();

        const RunRecord& record = run.Record();
        const QString sentence =
            QStringLiteral("成功将%1个excel文件转换为%2个pdf文件。").arg(c.converted).arg(c.pdfs);
        EXPECT_EQ(texts.last().section('\n', 0, 0), sentence);
        const QString report = TextReport(record);
        EXPECT_TRUE(report.contains('\n' + sentence + '\n')) << report.toStdString();
        EXPECT_EQ(texts.last().contains(FailuresLine(c.failed)), c.failed > 0);
        EXPECT_EQ(report.contains(StoppedLine(c.notConverted)), c.notConverted > 0);
        EXPECT_EQ(record.stopped, c.notConverted > 0);

        const QJsonObject totals = JsonReport(record)["totals"].toObject();
        EXPECT_EQ(totals["converted"].toInt(), c.converted);
        EXPECT_EQ(totals["failed"].toInt(), c.failed);
        EXPECT_EQ(totals["notConverted"].toInt(), c.notConverted);
        EXPECT_EQ(totals["pdfs"].toInt(), c.pdfs);
        EXPECT_EQ(totals["converted"].toInt() + totals["failed"].toInt() +
                      totals["notConverted"].toInt() + totals["upToDate"].toInt(),
                  totals["workbooks"].toInt());

        // Final: the workbooks that ended of the total, the time taken, nothing more.
        const QString line = progress.Text();
        EXPECT_TRUE(line.startsWith(QStringLiteral("%1/3个excel文件，%2个pdf，失败%3个，")
                                        .arg(c.converted + c.failed)
                                        .arg(c.pdfs)
                                        .arg(c.failed)))
            << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("约剩"))) << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("已等待"))) << line.toStdString();
        EXPECT_TRUE(progress.LongestInWork().isEmpty());
    }
}

#ifndef _WIN32
// A link out of the tree is told as left out, not failed; followed when asked, its workbooks
// convert into OUTPUT, but never beside themselves outside the tree.
TEST_F(RunCallsTest, LinksOutOfTheTreeAreToldAndFollowedOnlyWhenAsked)
{
    TempFolder elsewhere;
    WriteFile(elsewhere / "e.xlsx", "x");
    fs::create_directory_symlink(elsewhere.path(), source / "outside");
    const QString inside = Add("a.xlsx", {Sheet("S", 2, 2)});
    const QString outside = Native(source / "outside/e.xlsx");
    books.workbooks[outside].sheets = {Sheet("S", 2, 2)};
    struct Case
    {
        bool follow;
        bool beside;
        QStringList converted;
        int leftOutFolders;
        QStringList failures;
    };
    const std::vector<Case> cases = {
        {false, false, {inside}, 1, {}},
        {true, false, {inside, outside}, 0, {}},
        {false, true, {inside}, 1, {}},
        {true,
         true,
         {inside},
         0,
         {outside + QStringLiteral(": 在源文件夹之外（经链接），PDF不写在其旁")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.follow * 10 + c.beside);
        // Each case writes its PDFs afresh, not over an earlier case's of the same second.
        for (const auto& entry : fs::directory_iterator(source.path()))
            if (entry.path().extension() == ".pdf")
                fs::remove(entry.path());
        SaveToQuondamPath = c.beside;
        RunOptions options;
        options.followLinks = c.follow;
        MergeObject run(applications, options);
        Run(run);
        QStringList converted;
        for (const WorkbookRecord& workbook : run.Record().workbooks)
            if (workbook.outcome == WorkbookRecord::Outcome::Converted)
                converted << workbook.path;
        EXPECT_EQ(converted, c.converted);
        ASSERT_EQ(run.Record().leftOutFolders.size(), c.leftOutFolders);
        if (c.leftOutFolders) {
            EXPECT_EQ(run.Record().leftOutFolders[0].path, Native(source / "outside"));
            EXPECT_EQ(run.Record().leftOutFolders[0].why, LeftOutFolder::Why::OutsideSource);
        }
        EXPECT_EQ(run.Failures(), c.failures);
        EXPECT_FALSE(run.Record().stopped);
    }
}
#endif

// A stop asked before the listing ends it at once: the run binds no application, and its record
// says it was stopped.
TEST_F(RunCallsTest, AStopDuringTheListingStartsNoApplication)
{
    Add("a.xlsx", {Sheet("S", 2, 2)});
    MergeObject run(applications);
    run.RequestStop();
    EXPECT_TRUE(Run(run).isEmpty());
    EXPECT_TRUE(run.Record().stopped);
    EXPECT_TRUE(run.Record().workbooks.isEmpty());
    EXPECT_EQ(ends, 1);
}

// Nothing to convert binds no application, with the texts of a run all the same; the watch binds
// its own for what comes.
TEST_P(RunCallsTest, AnEmptySourceFolderBindsAnApplicationOnlyToWatch)
{
    const QStringList expected =
        GetParam() == RunKind::Watch ? QStringList{"Bind", "Quit"} : QStringList();
    EXPECT_EQ(Run(GetParam()), expected);
    EXPECT_EQ(texts, (QStringList{"excel OK!", "WorkBooks OK!",
                                  QStringLiteral("成功将0个excel文件转换为0个pdf文件。")}));
    EXPECT_EQ(ends, 1);
}

// A run as far as it can be compared across jobs: its texts, its record, and the calls that each
// workbook got, whichever application made them.
struct RunSeen
{
    QStringList texts;
    QStringList record;
    std::map<QString, QStringList> callsPerWorkbook; // from its Open up to the next Open or Quit
    int applications = 0;
};

QStringList Describe(const RunRecord& record)
{
    QStringList lines = record.runFailures;
    for (const WorkbookRecord& workbook : record.workbooks) {
        lines << workbook.path + ' ' + QString::number(static_cast<int>(workbook.outcome));
        for (const PdfRecord& pdf : workbook.pdfs)
            lines << "  pdf " + pdf.sheet + ' ' + pdf.path;
        for (const SkippedSheet& sheet : workbook.skipped)
            lines << "  skipped " + sheet.sheet + ' ' +
                         QString::number(static_cast<int>(sheet.why));
        for (const FailureRecord& failure : workbook.failures)
            lines << "  failed " + failure.sheet + ' ' + failure.reason + ' ' + failure.detail;
    }
    return lines;
}

TEST_F(RunCallsTest, TwoJobsMakeTheCallsTextsAndRecordOfOne)
{
    FakeSheet unreadable = Sheet("Unreadable", 2, 2);
    unreadable.readable = false;
    // Enough workbooks for a second application to pay.
    for (int i = 0; i < 12; ++i) {
        const std::string folder = "f" + std::to_string(i % 3) + "/";
        const QString book = Add(folder + "book" + std::to_string(i) + ".xlsx",
                                 {Sheet("Data", 3, 2), Sheet("Blank", 1, 1, QVariant()),
                                  Sheet("Hidden", 3, 3, "v", 0),
                                  Sheet("NoPage", 3, 3, "v", -1, 0, false), unreadable});
        books.workbooks[book].opens = i % 4 != 1;
    }
    const auto runWith = [this](RunKind kind) {
        texts.clear();
        fs::remove_all(output.path());
        fs::create_directories(output.path());
        const std::unique_ptr<ConversionRun> run = MakeRun(kind);
        Run(*run);
        RunSeen seen{
            texts, Describe(run->Record()), {}, static_cast<int>(applications.made.size())};
        for (const CallLog& calls : applications.made) {
            EXPECT_EQ(calls->first(), "Bind");
            EXPECT_EQ(calls->last(), "Quit");
            QString book;
            for (const QString& call : calls->mid(1)) {
                if (call.startsWith("Open("))
                    book = call.mid(5).chopped(1);
                if (!book.isEmpty() && call != "Quit")
                    seen.callsPerWorkbook[book] << call;
            }
        }
        return seen;
    };
    const RunSeen one = runWith(RunKind::OneJob);
    const RunSeen two = runWith(RunKind::TwoJobs);
    EXPECT_EQ(one.applications, 1);
    EXPECT_EQ(two.applications, 2);
    EXPECT_EQ(one.callsPerWorkbook.size(), 12u);
    EXPECT_EQ(two.callsPerWorkbook, one.callsPerWorkbook);
    EXPECT_EQ(two.texts, one.texts);
    EXPECT_EQ(two.record.join('\n').toStdString(), one.record.join('\n').toStdString());
    EXPECT_EQ(one.texts.last().section('\n', 0, 1),
              QStringLiteral("成功将0个excel文件转换为9个pdf文件。\n失败12个："));
}

// A watch's record holds what became of each workbook in the end, its last attempt: one that
// failed and then converted is no failure there, one that converted and then failed is; each
// batch's summary tells that batch's failures as they happened, and a workbook converted once
// keeps its record.
TEST_F(RunCallsTest, AWatchRecordsTheLastAttemptAtEachWorkbook)
{
    using Outcome = WorkbookRecord::Outcome;
    struct Case
    {
        const char* name;
        std::vector<bool> opens; // at each attempt
        Outcome end;
    };
    const Case cases[] = {
        {"failed twice, then converted", {false, false, true}, Outcome::Converted},
        {"converted, then failed", {true, false}, Outcome::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        texts.clear();
        const QString steady = Add("steady.xlsx", {Sheet("S", 2, 2)});
        const QString book = Add("book.xlsx", {Sheet("S", 2, 2)});
        books.workbooks[book].opens = c.opens[0];
        WatchRun run(applications, RunOptions());
        std::size_t batches = 0;
        run.SetBatchDoneHook([&](const RunRecord&, const QHash<QString, FileVersion>&) {
            if (++batches == c.opens.size()) {
                run.RequestStop();
                return;
            }
            books.workbooks[book].opens = c.opens[batches];
            // Another size: another version, whatever the clock's resolution.
            WriteFile(source / "book.xlsx", std::string(batches + 1, 'x'));
        });
        Run(run);
        ASSERT_EQ(batches, c.opens.size());
        const QStringList summaries = texts.filter(QStringLiteral("成功将"));
        ASSERT_EQ(summaries.size(), static_cast<int>(c.opens.size()));
        for (std::size_t i = 0; i < c.opens.size(); ++i)
            EXPECT_EQ(summaries[static_cast<int>(i)].contains(QStringLiteral("失败1个：")),
                      !c.opens[i])
                << summaries[static_cast<int>(i)].toStdString();

        const RunRecord& record = run.Record();
        ASSERT_EQ(record.workbooks.size(), 2);
        EXPECT_EQ(record.workbooks[0].path, steady);
        EXPECT_EQ(record.workbooks[0].outcome, Outcome::Converted);
        EXPECT_EQ(record.workbooks[1].path, book);
        EXPECT_EQ(record.workbooks[1].outcome, c.end);
        const int failed = c.end == Outcome::Failed ? 1 : 0;
        EXPECT_EQ(record.FailedWorkbooks(), failed);
        EXPECT_EQ(run.Failures().size(), failed);
        EXPECT_EQ(record.Pdfs(), 2 - failed);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfRun, RunCallsTest,
                         ::testing::Values(RunKind::OneJob, RunKind::TwoJobs, RunKind::Watch),
                         [](const ::testing::TestParamInfo<RunKind>& kind) {
                             switch (kind.param) {
                             case RunKind::OneJob:
                                 return "OneJob";
                             case RunKind::TwoJobs:
                                 return "TwoJobs";
                             case RunKind::Watch:
                                 break;
                             }
                             return "Watch";
                         });

// In every mode the PDFs go where the user asked: into OUTPUT, mirroring the folders below SOURCE,
// or beside each workbook, leaving the other folder as it was (a never-used OUTPUT is not made);
// a workbook of blank sheets gives a PDF only as a whole. However the two folder texts end.
TEST_P(RunCallsTest, PdfsGoIntoTheMirroredTreeOrBesideEachWorkbook)
{
    const std::string cnFolder = "\xe6\x95\xb0\xe6\x8d\xae \xe7\x9b\xae\xe5\xbd\x95"; // 数据 目录
    const std::string cnBook = cnFolder + "/\xe6\x8a\xa5\xe8\xa1\xa8 \xe4\xb8\x80";   // 报表 一
    const char* cnSheet = "\xe8\xa1\xa8\xe4\xb8\x80";                                 // 表一
    Add("q1/sales.xlsx",
        {Sheet("Sheet1", 3, 2), Sheet("Sheet2", 3, 2), Sheet("Empty", 1, 1, QVariant())});
    Add("q1.sales.xlsx", {Sheet("Sheet1", 3, 2)});
    Add(cnBook + ".xlsx", {Sheet(cnSheet, 3, 2)});
    Add("allblank.xlsx", {Sheet("One", 1, 1, QVariant()), Sheet("Two", 1, 1, QVariant())});
    const std::set<std::string> perSheet = {"q1/sales(Sheet1).pdf", "q1/sales(Sheet2).pdf",
                                            "q1.sales(Sheet1).pdf",
                                            cnBook + "(" + cnSheet + ").pdf"};
    const std::set<std::string> merged = {"q1/sales.pdf", "q1.sales.pdf", "allblank.pdf",
                                          cnBook + ".pdf"};
    const QString separator = QDir::separator();
    struct Case
    {
        bool merge;
        bool beside;
        bool sourceEndsWithSeparator;
        bool outputEndsWithSeparator;
        const std::set<std::string>& expected;
    };
    const Case cases[] = {
        {false, false, true, false, perSheet},
        {true, false, false, true, merged},
        {false, true, false, false, perSheet},
        {true, true, true, true, merged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.merge * 10 + c.beside);
        for (const std::string& pdf : PdfsBelow(source.path()))
            fs::remove(source / pdf);
        fs::remove_all(output.path());
        fs::create_directories(output.path());
        texts.clear();
        MergeSheets = c.merge;
        SaveToQuondamPath = c.beside;
        SourcePath =
            Native(source.path().string()) + (c.sourceEndsWithSeparator ? separator : QString());
        SavePath = c.beside ? Native(output / "never-used")
                            : Native(output.path().string()) +
                                  (c.outputEndsWithSeparator ? separator : QString());
        const std::unique_ptr<ConversionRun> run = MakeRun(GetParam());
        Run(*run);
        EXPECT_TRUE(run->Failures().isEmpty()) << run->Failures().join('\n').toStdString();
        EXPECT_EQ(texts.last(), QStringLiteral("成功将4个excel文件转换为4个pdf文件。"));
        EXPECT_EQ(PdfsBelow(c.beside ? source.path() : output.path()), c.expected);
        EXPECT_TRUE(PdfsBelow(c.beside ? output.path() : source.path()).empty());
        EXPECT_FALSE(fs::exists(output / "never-used"));
        // Nothing beside OUTPUT whose name starts with its own, as a text join would make.
        EXPECT_FALSE(fs::exists(output.path().string() + "q1"));
    }
}

} // namespace
