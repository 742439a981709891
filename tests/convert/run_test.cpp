#include "convert/mergeobject.h"
#include "convert/runsettings.h"

#include "automation/officeapplications.h"
#include "common/officeprocesses.h"
#include "common/pdf.h"
#include "common/qtprint.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

const std::string Corpus = QUILLSHEET_CORPUS_DIR;
const std::string ChineseFolder = "\xe6\x95\xb0\xe6\x8d\xae \xe7\x9b\xae\xe5\xbd\x95"; // 数据 目录
const std::string ChineseBook = "\xe6\x8a\xa5\xe8\xa1\xa8 \xe4\xb8\x80";               // 报表 一
const std::string ChineseSheet = "\xe8\xa1\xa8\xe4\xb8\x80";                           // 表一

// Whole runs against the real office, for what only the office shows: the PDFs' contents, the
// workbooks it cannot open and why, the names and visibility of the sheets it reads, and PDFs
// written over a planted link. Where the PDFs go and what the run says are the quick suite's
// (mergeobject_test.cpp).
class RunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        options.callLimit = std::chrono::seconds(60);
        SourcePath = QString::fromStdString(in.path().string());
        SavePath = QString::fromStdString(out.path().string());
        SaveToQuondamPath = false;
        MergeSheets = false;
    }

    // Made by the office in SOURCE: q1/sales.xlsx (Sheet1, Sheet2, an empty sheet),
    // q1.sales.xlsx, a.xls and a.xlsx, 数据 目录/报表 一.xlsx (sheet 表一), allblank.xlsx (two
    // empty sheets), and, with the corpus, bad/password.xls (encrypted) and bad/corrupt.xlsx.
    void MakeTree()
    {
        TempFolder made;
        const auto marked = [](const char* mark) { return MarkedRows(mark, 3); };
        WriteFile(made / "sales.xml",
                  SpreadsheetMl(
                      {{"Sheet1", marked("S1MARK")}, {"Sheet2", marked("S2MARK")}, {"Empty", ""}}));
        WriteFile(made / "q1.sales.xml", SpreadsheetMl({{"Sheet1", marked("DOTMARK")}}));
        WriteFile(made / "a.xml", SpreadsheetMl({{"Sheet1", marked("AMARK")}}));
        WriteFile(made / (ChineseBook + ".xml"), SpreadsheetMl({{ChineseSheet, marked("CNMARK")}}));
        WriteFile(made / "allblank.xml", SpreadsheetMl({{"One", ""}, {"Two", ""}}));
        ASSERT_TRUE(ConvertWithOffice({made / "sales.xml", made / "q1.sales.xml", made / "a.xml",
                                       made / (ChineseBook + ".xml"), made / "allblank.xml"},
                                      "xlsx", made.path().string()));
        ASSERT_TRUE(ConvertWithOffice({made / "a.xml"}, "xls:MS Excel 97", made.path().string()));
        fs::create_directories(in / "q1");
        fs::create_directories(in / ChineseFolder);
        fs::copy_file(made / "sales.xlsx", in / "q1/sales.xlsx");
        for (const char* file : {"q1.sales.xlsx", "a.xls", "a.xlsx", "allblank.xlsx"})
            fs::copy_file(made / file, in / file);
        fs::copy_file(made / (ChineseBook + ".xlsx"),
                      in / (ChineseFolder + "/" + ChineseBook + ".xlsx"));
        if (!Corpus.empty()) {
            fs::create_directories(in / "bad");
            fs::copy_file(Corpus + "/apache-poi/test-data/spreadsheet/password.xls",
                          in / "bad/password.xls");
            fs::copy_file(Corpus + "/apache-poi/test-data/spreadsheet/xlsx-corrupted.xlsx",
                          in / "bad/corrupt.xlsx");
        }
    }
    void TearDown() override { EXPECT_EQ(OfficesOfThisProcess(), 0); }

    // Runs and returns the last status text; the failures land in failures.
    QString Run()
    {
        const std::unique_ptr<SpreadsheetApplications> applications =
            NewSpreadsheetApplications(options);
        MergeObject run(*applications);
        QStringList texts;
        QObject::connect(&run, &MergeObject::ShowDisposingFile,
                         [&texts](const QString& text) { texts << text; });
        run.Transform();
        failures = run.Failures();
        return texts.value(texts.size() - 1);
    }

    // The name a.xls or a.xlsx, whichever the listing gives later: its PDFs take it as base.
    std::string LaterOfA() const
    {
        std::string later;
        for (const auto& entry : fs::directory_iterator(in.path()))
            if (entry.path().stem() == "a" && entry.path().extension() != ".pdf")
                later = entry.path().filename();
        return later;
    }

    static std::set<std::string> Pdfs(const fs::path& folder) { return PdfsBelow(folder); }

    // The summary: the sentence, then, with the corpus, the two bad workbooks.
    QString Expected(int workbooks, int pdfs) const
    {
        QString text =
            QStringLiteral("成功将%1个excel文件转换为%2个pdf文件。").arg(workbooks).arg(pdfs);
        if (!Corpus.empty())
            text += QStringLiteral("\n失败2个：\n") + failures.join('\n');
        return text;
    }

    void ExpectBadWorkbooksReported() const
    {
        if (Corpus.empty())
            return;
        const QString reason = QStringLiteral(": 无法打开（文件已损坏、已加密或不是工作簿）");
        const QString bad = QString::fromStdString(in / "bad/");
        EXPECT_EQ(std::set<QString>(failures.begin(), failures.end()),
                  (std::set<QString>{bad + "password.xls" + QStringLiteral(": 已加密，需要密码"),
                                     bad + "corrupt.xlsx" + reason}));
    }

    ApplicationOptions options;
    TempFolder in;
    TempFolder out;
    QStringList failures;
};

// With a fresh office every two workbooks, as long runs get one every 200: nothing is lost.
TEST_F(RunTest, PerSheetIntoAMirroredTree)
{
    ASSERT_NO_FATAL_FAILURE(MakeTree());
    options.restartInterval = 2;
    const QString summary = Run();
    ExpectBadWorkbooksReported();
    EXPECT_EQ(summary, Expected(6, 6));
    const std::set<std::string> expected = {
        "q1/sales(Sheet1).pdf",
        "q1/sales(Sheet2).pdf",
        "q1.sales(Sheet1).pdf",
        "a(Sheet1).pdf",
        LaterOfA() + "(Sheet1).pdf",
        ChineseFolder + "/" + ChineseBook + "(" + ChineseSheet + ").pdf"};
    EXPECT_EQ(Pdfs(out.path()), expected);
    const std::string sheet1 = PdfText(out / "q1/sales(Sheet1).pdf");
    EXPECT_NE(sheet1.find("S1MARK"), std::string::npos);
    EXPECT_EQ(sheet1.find("S2MARK"), std::string::npos);
    // a.xls and a.xlsx hold the same sheet names; each keeps its own PDF.
    EXPECT_NE(PdfText(out / "a(Sheet1).pdf").find("AMARK"), std::string::npos);
    EXPECT_NE(PdfText(out / (LaterOfA() + "(Sheet1).pdf")).find("AMARK"), std::string::npos);
    if (!Corpus.empty()) {
        EXPECT_TRUE(fs::is_directory(out / "bad"));
    }
}

// Sheet names that are paths or hold a line break, hidden and very hidden sheets, and a link
// planted where a PDF goes: every PDF lands in its workbook's folder, the link is replaced and its
// target untouched, and hidden sheets are left out without a failure, in both modes.
TEST_F(RunTest, HostileSheetNamesHiddenSheetsAndPlantedLinks)
{
    TempFolder tree;
    const std::string src = tree / "src";
    fs::create_directories(src);
    // SpreadsheetML text, which the office reads as .xls, keeps "/" in all but the first name.
    WriteFile(src + "/book.xls", SpreadsheetMl({{"First", MarkedRows("FIRSTMARK", 2)},
                                                {"../../x", MarkedRows("UPMARK", 2)},
                                                {"a/b", MarkedRows("SLASHMARK", 2)},
                                                {"line&#10;break", MarkedRows("BREAKMARK", 2)}}));
    std::set<std::string> beside = {"book(First).pdf", "book(.._.._x).pdf", "book(a_b).pdf",
                                    "book(line_break).pdf"};
    if (!Corpus.empty()) {
        fs::copy_file(Corpus + "/sheetjs-test_files/sheet_visibility.xlsx", src + "/vis.xlsx");
        beside.insert("vis(Visible).pdf");
    }
    WriteFile(tree / "victim.xlsx", "keep");
    fs::create_symlink("../victim.xlsx", src + "/book(First).pdf");
    SourcePath = QString::fromStdString(src);
    SaveToQuondamPath = true;
    Run();
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(Pdfs(src), beside);
    EXPECT_FALSE(fs::is_symlink(src + "/book(First).pdf"));
    EXPECT_NE(PdfText(src + "/book(First).pdf").find("FIRSTMARK"), std::string::npos);
    EXPECT_NE(PdfText(src + "/book(.._.._x).pdf").find("UPMARK"), std::string::npos);
    EXPECT_EQ(ReadFile(tree / "victim.xlsx"), "keep");
    std::set<std::string> top;
    for (const auto& entry : fs::directory_iterator(tree.path()))
        top.insert(entry.path().filename());
    EXPECT_EQ(top, (std::set<std::string>{"src", "victim.xlsx"}));

    SaveToQuondamPath = false;
    MergeSheets = true;
    Run();
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    std::set<std::string> merged = {"book.pdf"};
    if (!Corpus.empty()) {
        merged.insert("vis.pdf");
        // Each sheet spells its state one letter a cell; only the visible one is printed.
        std::string letters;
        for (char c : PdfText(out / "vis.pdf"))
            if (std::isalpha(static_cast<unsigned char>(c)))
                letters += c;
        EXPECT_EQ(letters, "visible");
    }
    EXPECT_EQ(Pdfs(out.path()), merged);
}

} // namespace
