#include "automation/officefixture.h"
#include "automation/officenames.h"
#include "automation/officeprocess.h"
#include "automation/officesandbox.h"
#include "common/strictskips.h"

#include <QElapsedTimer>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

const std::string Corpus = QUILLSHEET_CORPUS_DIR;

const char* const NamedFolder = "\xe6\x95\xb0\xe6\x8d\xae #1 %x";    // 数据 #1 %x
const char* const NamedFile = "\xe6\x8a\xa5\xe8\xa1\xa8 #2 %y.xlsx"; // 报表 #2 %y.xlsx
const char* const NamedSheet = "\xe5\xb7\xa5\xe4\xbd\x9c\xe8\xa1\xa8 #3 %z";

// The call limit that cuts off the export of scattered.xls: past the office's start and the
// workbook's opening on a busy machine.
constexpr int LongExportCutSeconds = 8;

// Workbooks shared by the tests of this file, made once.
class ServerTest : public OfficeTest
{
protected:
    static void SetUpTestSuite()
    {
        samples = new TempFolder;
        const std::string cells = SpreadsheetMl({
            {"Empty", ""},
            {"OneEmptyCell", R"(<Row ss:Index="3"><Cell ss:Index="3" ss:StyleID="filled"/></Row>)"},
            {"Zero",
             R"(<Row ss:Index="2"><Cell ss:Index="2"><Data ss:Type="Number">0</Data></Cell></Row>)"},
            {"Space", "<Row>" + TextCell(" ") + "</Row>"},
            {"TwoCells", "<Row>" + TextCell("a") + TextCell("b") + "</Row>"},
            {"FormattingOnly",
             R"(<Row ss:Index="2"><Cell ss:Index="2" ss:StyleID="filled"/><Cell ss:StyleID="filled"/></Row><Row><Cell ss:Index="2" ss:StyleID="filled"/></Row>)"},
            {"Formulas",
             R"(<Row><Cell ss:Formula="=1+1.5"><Data ss:Type="Number">2.5</Data></Cell><Cell ss:Formula="=&quot;x&quot;&amp;&quot;y&quot;"><Data ss:Type="String">xy</Data></Cell></Row>)"},
        });
        WriteFile(*samples / "cells.xml", cells);
        WriteFile(*samples / "cells.xls", cells); // SpreadsheetML 2003, as Excel opens it
        WriteFile(*samples / "pages.xml", SpreadsheetMl({{"Alpha", MarkedRows("ALPHAMARK", 150)},
                                                         {"Beta", MarkedRows("BETAMARK", 3)}}));
        WriteFile(*samples / "named.xml",
                  SpreadsheetMl({{NamedSheet, MarkedRows("NAMEDMARK", 2)}}));
        ASSERT_TRUE(ConvertWithOffice(
            {*samples / "cells.xml", *samples / "pages.xml", *samples / "named.xml"}, "xlsx",
            samples->path().string()));
        fs::create_directories(*samples / NamedFolder);
        fs::rename(*samples / "named.xlsx",
                   *samples / (std::string(NamedFolder) + "/" + NamedFile));

        WriteFile(*samples / "table.xls", "<html><body><table><tr><td>HTMLMARK</td><td>5</td>"
                                          "</tr></table></body></html>");
        std::string garbage;
        for (unsigned i = 0, x = 12345; i < 4096; ++i, x = x * 1103515245 + 12345)
            garbage += static_cast<char>(x >> 16);
        WriteFile(*samples / "garbage.xls", garbage);
        WriteFile(*samples / "garbage.xlsx", garbage);
        WriteFile(*samples / "empty.xlsx", "");
        // Hundreds of pages: its export lasts long enough to be cut off.
        WriteFile(*samples / "long.xls", SpreadsheetMl({{"Long", MarkedRows("LONGMARK", 20000)}}));
        // Thousands of pages of one cell each: it opens at once, and its export lasts long
        // enough for a call limit to cut it off.
        std::string scattered;
        for (int row = 1; row <= 20000; row += 60) {
            scattered += "<Row ss:Index=\"" + std::to_string(row) + "\">";
            for (int column = 1; column <= 256; column += 16)
                scattered += "<Cell ss:Index=\"" + std::to_string(column) +
                             "\"><Data ss:Type=\"Number\">" + std::to_string(row) +
                             "</Data></Cell>";
            scattered += "</Row>";
        }
        WriteFile(*samples / "scattered.xls", SpreadsheetMl({{"Scattered", scattered}}));
    }
    static void TearDownTestSuite() { delete samples; }

    static std::string Sample(const std::string& name) { return *samples / name; }

    static TempFolder* samples;
    TempFolder out;
};

TempFolder* ServerTest::samples = nullptr;

// Blank as Excel's used range and value tell it: a used range of one cell (formatting-only cells
// count, an empty sheet's is A1), and that cell empty (a zero, a space or a formula's result is
// not).
TEST_F(ServerTest, BlankAsExcelsUsedRangeAndValueTellIt)
{
    Bind();
    const struct
    {
        const char* sheet;
        bool blank;
    } cases[] = {{"Empty", true},    {"OneEmptyCell", true}, {"Zero", false},
                 {"Space", false},   {"TwoCells", false},    {"FormattingOnly", false},
                 {"Formulas", false}};
    for (const char* file : {"cells.xlsx", "cells.xls"}) {
        ASSERT_TRUE(Open(Sample(file))) << file;
        ASSERT_EQ(application->SheetCount().value, 7);
        for (int k = 1; k <= 7; ++k) {
            EXPECT_EQ(Noted(application->Name(k)).value, cases[k - 1].sheet);
            const Answer<bool> blank = Noted(application->Blank(k));
            EXPECT_TRUE(blank.done) << file << " " << cases[k - 1].sheet;
            EXPECT_EQ(blank.value, cases[k - 1].blank) << file << " " << cases[k - 1].sheet;
        }
        for (int missing : {8, 0}) {
            EXPECT_FALSE(Noted(application->Hidden(missing)).done);
            EXPECT_FALSE(Noted(application->Blank(missing)).done);
        }
        application->Close();
    }
    EXPECT_EQ(errors.size(), 8) << errors.join('\n').toStdString();
    EXPECT_EQ(kinds, std::vector<FailureKind>(8, FailureKind::Reported));
}

TEST_F(ServerTest, ASheetExportsAloneWithAllItsPagesTheWorkbookWhole)
{
    Bind();
    ASSERT_TRUE(Open(Sample("pages.xlsx")));
    const std::string alpha = out / "sub/dir/pages(Alpha).pdf";
    const std::string beta = out / "pages(Beta).pdf";
    const std::string whole = out / "pages.pdf";
    fs::create_directories(out / "sub/dir");
    ExportSheet(1, alpha);
    ExportSheet(2, beta);
    ExportWorkbook(whole);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    const int alphaPages = PdfPages(alpha);
    EXPECT_GE(alphaPages, 2);
    EXPECT_NE(PdfText(alpha).find("ALPHAMARK"), std::string::npos);
    EXPECT_EQ(PdfText(alpha).find("BETAMARK"), std::string::npos);
    EXPECT_EQ(PdfPages(beta), 1);
    EXPECT_NE(PdfText(beta).find("BETAMARK"), std::string::npos);
    EXPECT_EQ(PdfText(beta).find("ALPHAMARK"), std::string::npos);
    EXPECT_EQ(PdfPages(whole), alphaPages + 1);
    EXPECT_NE(PdfText(whole).find("BETAMARK"), std::string::npos);
}

// The system's reason for a PDF that cannot be written decides its kind: a folder that is a
// file takes no PDF, a name longer than the file system allows cannot take its place.
TEST_F(ServerTest, APdfThatCannotBeWrittenSaysWhy)
{
    Bind();
    ASSERT_TRUE(Open(Sample("pages.xlsx")));
    WriteFile(out / "file", "not a folder");
    const struct
    {
        std::string pdf;
        FailureKind kind;
    } cases[] = {
        {out / "file/pages.pdf", FailureKind::NotWritable},
        {out / (std::string(300, 'n') + ".pdf"), FailureKind::NameTooLong},
    };
    for (const auto& [pdf, kind] : cases) {
        Forget();
        ExportWorkbook(pdf);
        ASSERT_EQ(errors.size(), 1) << pdf;
        EXPECT_EQ(kinds[0], kind) << errors[0].toStdString();
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);
}

TEST_F(ServerTest, ChineseSpacesHashAndPercentInFolderFileAndSheetNames)
{
    Bind();
    ASSERT_TRUE(Open(Sample(std::string(NamedFolder) + "/" + NamedFile)));
    EXPECT_EQ(application->Name(1).value.toStdString(), NamedSheet);
    const std::string pdf = out / (std::string(NamedFolder) + "/" +
                                   "\xe6\x8a\xa5\xe8\xa1\xa8 #2 %y(" + NamedSheet + ").pdf");
    fs::create_directories(out / NamedFolder);
    ExportSheet(1, pdf);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_NE(PdfText(pdf).find("NAMEDMARK"), std::string::npos);
}

TEST_F(ServerTest, RefusesWhatExcelRefusesQuicklyAndWithoutPrompts)
{
    Bind();
    std::vector<std::pair<std::string, FailureKind>> refused = {
        {Sample("empty.xlsx"), FailureKind::FileEmpty},
        {Sample("garbage.xls"), FailureKind::TextImportOnly},
        {Sample("garbage.xlsx"), FailureKind::CannotOpen},
        {Sample("missing.xlsx"), FailureKind::FileMissing}};
    if (!Corpus.empty())
        for (const auto& [file, kind] : std::initializer_list<std::pair<const char*, FailureKind>>{
                 {"apache-poi/test-data/spreadsheet/password.xls", FailureKind::Encrypted},
                 {"apache-poi/test-data/spreadsheet/xor-encryption-abc.xls",
                  FailureKind::Encrypted},
                 {"apache-poi/test-data/poifs/protected_sha512.xlsx", FailureKind::Encrypted},
                 {"apache-poi/test-data/spreadsheet/xlsx-corrupted.xlsx", FailureKind::CannotOpen},
                 {"apache-poi/test-data/openxml4j/invalid.xlsx", FailureKind::CannotOpen},
                 {"libxls/fuzz/corpus/xls2csv_ole_read_MSAT_772.xls", FailureKind::TextImportOnly},
                 // Locked, and taken in as text by the office: the lock is the cause.
                 {"apache-poi/test-data/spreadsheet/"
                  "clusterfuzz-testcase-minimized-POIHSSFFuzzer-6537773940867072.xls",
                  FailureKind::Encrypted}})
            refused.push_back({Corpus + "/" + file, kind});
    for (const auto& [path, kind] : refused) {
        QElapsedTimer timer;
        timer.start();
        Forget();
        EXPECT_FALSE(Open(path)) << path;
        EXPECT_LT(timer.elapsed(), 10000) << path;
        EXPECT_EQ(errors.size(), 1) << path;
        EXPECT_EQ(kinds, std::vector<FailureKind>{kind}) << path;
        std::printf("refused in %5lld ms: %s (%s)\n", static_cast<long long>(timer.elapsed()),
                    fs::path(path).filename().c_str(), qPrintable(errors.value(0)));
    }
    // The office's own word on an encrypted workbook reaches the detail.
    if (!Corpus.empty()) {
        errors.clear();
        Open(Corpus + "/apache-poi/test-data/poifs/protected_sha512.xlsx");
        EXPECT_TRUE(errors.value(0).startsWith("encrypted: a password is needed: "))
            << errors.value(0).toStdString();
    }
    // What web applications export as .xls still opens.
    ASSERT_TRUE(Open(Sample("table.xls")));
    const std::string pdf = out / "table.pdf";
    ExportWorkbook(pdf);
    EXPECT_NE(PdfText(pdf).find("HTMLMARK"), std::string::npos);
}

TEST_F(ServerTest, AHiddenSheetIsNotExported)
{
    if (Corpus.empty())
        OPTIONAL_SKIP("no corpus");
    Bind();
    // Its first sheet is the hidden one.
    ASSERT_TRUE(Open(Corpus + "/apache-poi/test-data/spreadsheet/TwoSheetsOneHidden.xlsx"));
    const std::string visible = out / "visible.pdf";
    const std::string hidden = out / "hidden.pdf";
    ExportSheet(2, visible);
    EXPECT_TRUE(errors.isEmpty());
    ExportSheet(1, hidden);
    EXPECT_TRUE(application->Hidden(1).value);
    EXPECT_FALSE(application->Hidden(2).value);
    EXPECT_TRUE(fs::exists(visible));
    EXPECT_FALSE(fs::exists(hidden));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("hidden"));
    EXPECT_EQ(kinds[0], FailureKind::SheetHidden);
}

TEST_F(ServerTest, ACallThatOutlivesItsLimitIsKilledAndTheNextWorkbookConverts)
{
    if (Corpus.empty())
        OPTIONAL_SKIP("no corpus");
    // Long enough for a fresh office to start on a busy machine, short against the hang.
    Bind(std::chrono::seconds(6));
    const long firstOffice = application->ProcessId();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(Open(Corpus + "/apache-poi/test-data/spreadsheet/poc-shared-strings.xlsx"));
    EXPECT_LT(timer.elapsed(), 12000);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("no answer within 6 s")) << errors[0].toStdString();
    EXPECT_EQ(kinds[0], FailureKind::NoAnswer);
    EXPECT_EQ(limits[0], 6); // the limit, for the reason the user reads
    EXPECT_NE(kill(static_cast<pid_t>(firstOffice), 0), 0) << "the hung office still runs";

    ASSERT_TRUE(Open(Sample("pages.xlsx")));
    EXPECT_NE(application->ProcessId(), firstOffice);
    const std::string pdf = out / "next.pdf";
    ExportSheet(2, pdf);
    EXPECT_NE(PdfText(pdf).find("BETAMARK"), std::string::npos);
}

// The office killed while it writes a PDF: the PDF of an earlier run stays whole, and no
// temporary file is left in the folder.
TEST_F(ServerTest, ACutOffExportLeavesTheOlderPdfWhole)
{
    Bind();
    ASSERT_TRUE(Open(Sample("long.xls")));
    const std::string pdf = out / "long(Long).pdf";
    WriteFile(pdf, "%PDF older");
    const long office = application->ProcessId();
    std::thread cutter([&] {
        // The export has begun once its temporary file exists.
        for (int i = 0; i < 20000; ++i) {
            for (const auto& entry : fs::directory_iterator(out.path()))
                if (entry.path().filename().string().rfind(TemporaryPdfPrefix(getpid()), 0) == 0) {
                    kill(static_cast<pid_t>(office), SIGKILL);
                    return;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    ExportSheet(1, pdf);
    cutter.join();
    EXPECT_EQ(ReadFile(pdf), "%PDF older");
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("ended unexpectedly")) << errors[0].toStdString();
    EXPECT_EQ(kinds[0], FailureKind::OfficeEnded);
}

// An office ended during an export, by its call limit or by a forced stop, leaves none of its own
// temporary files in the PDF's folder; one that was there before stays, as nothing tells whose.
TEST_F(ServerTest, AnOfficeEndedDuringAnExportLeavesNoTemporaryFileOfItsOwn)
{
    const auto officeTemporary = [](const fs::path& path) {
        const std::string name = path.filename().string();
        return name.rfind("lu", 0) == 0 && name.size() > 6 &&
               name.compare(name.size() - 4, 4, ".tmp") == 0;
    };
    const struct
    {
        const char* ending;
        bool forced; // else the call limit ends it
    } cases[] = {{"call limit", false}, {"forced stop", true}};
    for (const auto& [ending, forced] : cases) {
        SCOPED_TRACE(ending);
        Forget();
        TempFolder folder;
        WriteFile(folder / "luEARLIER.tmp", "");
        // Where it can, the forced stop ends a sandboxed office, which bubblewrap's processes
        // stand above: they may be reaped before the office lets go of its file.
        OfficeConfinement confinement;
        confinement.sandbox = forced && SandboxAvailable();
        confinement.readableFolders = {samples->path()};
        confinement.writableFolders = {folder.path()};
        Bind(std::chrono::seconds(forced ? 60 : LongExportCutSeconds), 0, confinement);
        ASSERT_TRUE(Open(Sample("scattered.xls")));
        std::atomic<bool> exporting{true}, seen{false};
        // Once the office has made its file, it is ended, or frozen until its call limit ends
        // it: so the export is cut off however fast this machine exports.
        std::thread watcher([&] {
            while (exporting) {
                std::error_code error;
                for (const auto& entry : fs::directory_iterator(folder.path(), error))
                    if (officeTemporary(entry.path()) &&
                        entry.path().filename() != "luEARLIER.tmp" && !seen.exchange(true)) {
                        if (forced)
                            OfficeProcess::KillAllNow();
                        else
                            for (const fs::path& office : OfficeProcessesOf(getpid()))
                                kill(static_cast<pid_t>(std::stol(office.filename().string())),
                                     SIGSTOP);
                    }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        ExportSheet(1, folder / "scattered(Scattered).pdf");
        exporting = false;
        watcher.join();
        application.reset();
        OfficeProcess::AllowStarts();
        EXPECT_TRUE(seen) << "the office made no temporary file before it was ended";
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(folder.path()))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"luEARLIER.tmp"});
        ASSERT_EQ(kinds.size(), 1u);
        if (!forced) {
            EXPECT_EQ(kinds[0], FailureKind::NoAnswer) << errors[0].toStdString();
        }
    }
}

// A fresh office after every two workbooks, between workbooks.
TEST_F(ServerTest, TheOfficeIsReplacedBetweenWorkbooksAfterItsInterval)
{
    Bind(std::chrono::seconds(60), 2);
    std::vector<long> offices;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Open(Sample("pages.xlsx")));
        offices.push_back(application->ProcessId());
        const std::string pdf = out / ("pages" + std::to_string(i) + ".pdf");
        ExportSheet(2, pdf);
        EXPECT_NE(PdfText(pdf).find("BETAMARK"), std::string::npos) << i;
        application->Close();
    }
    EXPECT_EQ(offices[0], offices[1]);
    EXPECT_NE(offices[1], offices[2]);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ServerTest, AnOfficeKilledBetweenWorkbooksIsReplaced)
{
    Bind();
    ASSERT_TRUE(Open(Sample("pages.xlsx")));
    ASSERT_TRUE(application->Name(2).done);
    const long firstOffice = application->ProcessId();
    ASSERT_EQ(kill(static_cast<pid_t>(firstOffice), SIGKILL), 0);

    // The dead office's workbook answers nothing and does no harm.
    const Answer<QString> name = application->Name(2);
    EXPECT_FALSE(name.done);
    EXPECT_EQ(name.failure.kind, FailureKind::OfficeEnded);
    EXPECT_NE(application->ExportSheet(2, QString::fromStdString(out / "dead.pdf")).kind,
              FailureKind::None);
    application->Close();
    EXPECT_FALSE(fs::exists(out / "dead.pdf"));

    ASSERT_TRUE(Open(Sample("pages.xlsx")));
    EXPECT_NE(application->ProcessId(), firstOffice);
    const std::string pdf = out / "second.pdf";
    ExportWorkbook(pdf);
    EXPECT_GE(PdfPages(pdf), 2);

    // A close can be the first call to meet the dead office: the next workbook opens all the
    // same.
    ASSERT_EQ(kill(static_cast<pid_t>(application->ProcessId()), SIGKILL), 0);
    application->Close();
    EXPECT_TRUE(Open(Sample("pages.xlsx")));
    application->Quit();
    EXPECT_EQ(application->ProcessId(), -1);
}

} // namespace
