#include "convert/outputpaths.h"
#include "convert/pdfnameregister.h"
#include "convert/pdfnames.h"
#include "convert/visibletext.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

TEST(OutputPaths, TheSourceTreeRepeatsBelowTheOutputFolderHoweverTheTextsEnd)
{
    struct Case
    {
        const char* workbook;
        const char* source;
        const char* save;
        bool beside;
        const char* folder;
    };
    const Case cases[] = {
        {"/in/q1/sales.xlsx", "/in", "/out", false, "/out/q1"},
        {"/in/q1/sales.xlsx", "/in/", "/out", false, "/out/q1"},
        {"/in/q1/sales.xlsx", "/in", "/out/", false, "/out/q1"},
        {"/in/q1/sales.xlsx", "/in/", "/out/", false, "/out/q1"},
        {"/in/sales.xlsx", "/in", "/out", false, "/out"},
        {"/in/a/b/c/d.xls", "/in", "/", false, "/a/b/c"},
        {"/data/in/x/data/in/a.xlsx", "/data/in", "/out", false, "/out/x/data/in"},
        {"/in/q1/sales.xlsx", "/in", "/out", true, "/in/q1"},
        {"/in/sales.xlsx", "/in", "", true, "/in"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OutputFolder(c.workbook, c.source, c.save, c.beside).toStdString(), c.folder)
            << c.workbook << " from " << c.source << " to " << c.save;
}

TEST(OutputPaths, RelativeFolderTextsGiveTheTreeOfTheirAbsoluteForms)
{
    const QString here = QDir::currentPath();
    EXPECT_EQ(OutputFolder("src/a.xlsx", "src", "out", false), here + "/out");
    EXPECT_EQ(OutputFolder(here + "/src/sub/b.xlsx", "src", "out", false), here + "/out/sub");
    EXPECT_EQ(OutputFolder("./src/../src/sub/b.xlsx", "src/", "./out/", false), here + "/out/sub");
    EXPECT_EQ(OutputFolder("src/a.xlsx", "src", "", true), here + "/src");
}

TEST(PdfNames, SheetNamesBecomeFileNamesAndNothingMore)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Sheet1", "Sheet1"},
        {"\xe6\x95\xb0 #1 %x [a] {b}", "\xe6\x95\xb0 #1 %x [a] {b}"},
        {"../../x", ".._.._x"},
        {"a/b/c", "a_b_c"},
        {"line\nbreak\ttab\x1b", "line_break_tab_"},
#ifdef Q_OS_WIN
        {"a\\b:c*d?e\"f<g>h|i", "a_b_c_d_e_f_g_h_i"},
#else
        {"a\\b:c*d?e\"f<g>h|i", "a\\b:c*d?e\"f<g>h|i"},
#endif
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(SafeFileName(QString::fromUtf8(name)).toStdString(), safe);
    EXPECT_EQ(PdfPath("/out/q1", "q1.sales(Sheet1).pdf"), "/out/q1/q1.sales(Sheet1).pdf");
    EXPECT_EQ(PdfPath("/", "a.pdf"), "/a.pdf");
}

TEST(PdfNames, SameBaseNamesInOneFolderAndSameSafeSheetNamesInOneWorkbookStayApart)
{
    const QFileInfoList workbooks = {
        QFileInfo("/in/a.xls"),  QFileInfo("/in/a.xlsx"),     QFileInfo("/in/sub/a.xlsm"),
        QFileInfo("/in/a.xlsm"), QFileInfo("/in/a.xlsx.xls"), QFileInfo("/in/q1.sales.xlsx"),
        QFileInfo("/in/A.xlsx"),
    };
    const QStringList expected = {
        "a",      "a.xlsx", "a", "a.xlsm", "a.xlsx.xls", "q1.sales",
#ifdef Q_OS_WIN
        "A.xlsx",
#else
        "A",
#endif
    };
    EXPECT_EQ(PdfBaseNames(workbooks), expected);

    const WorkbookTask s{"/in/s.xlsx", QDir::tempPath(), "s"};
    PdfNameRegister names({s});
    EXPECT_EQ(names.Take(s, "s(a_b)"), "s(a_b).pdf");
    EXPECT_EQ(names.Take(s, "s(a_b)"), "s(a_b) (2).pdf");
    EXPECT_EQ(names.Take(s, "s(a_b) (2)"), "s(a_b) (2) (2).pdf");
    EXPECT_EQ(names.Take(s, "s(a_b)"), "s(a_b) (3).pdf");
    EXPECT_EQ(names.Take(s, "s(c)"), "s(c).pdf");
}

// Only bases of which one is the other followed by "(…", without case, can make one PDF name:
// x.xlsx's sheet "S)(T" and x(S).xlsx's sheet "T" both make x(S)(T).pdf.
TEST(PdfNames, OnlyWorkbooksWhosePdfNamesCanMeetShareANameGroup)
{
    const struct
    {
        const char* folder;
        const char* base;
        int first;
    } workbooks[] = {
        {"/out", "x", 0},
        {"/out", "x(S)", 0},
        {"/out", "Sales (1)", 2},
        {"/out", "Sales (2)", 3},
        {"/out", "X(S)(T)", 0},
        {"/out", "q1.sales", 5},
        {"/out", "q1", 6},
        {"/out", "a", 7},
        {"/out", "a.xlsx", 8},
        {"/out", "y(1)", 9},
        {"/out", "y(1)(2)", 9},
        {"/out/sub", "x(S)", 11},
        {"/out", "\xc3\x84(1)", 13},
        {"/out", "\xc3\xa4", 13},
    };
    QStringList folders, bases;
    QList<int> expected;
    for (const auto& workbook : workbooks) {
        folders << workbook.folder;
        bases << QString::fromUtf8(workbook.base);
        expected << workbook.first;
    }
    EXPECT_EQ(NameGroupFirsts(folders, bases), expected);
}

TEST(PdfNames, ANameLongerThanTheFileSystemAllowsIsCaught)
{
    const QString folder = QDir::tempPath();
    EXPECT_TRUE(FitsFileSystem(folder, QString(251, 'x') + ".pdf"));
    EXPECT_FALSE(FitsFileSystem(folder, QString(252, 'x') + ".pdf"));
#ifndef Q_OS_WIN
    // 85 characters of three bytes each: 255 bytes, and one more does not fit.
    EXPECT_TRUE(FitsFileSystem(folder, QString(85, QChar(0x8868))));
    EXPECT_FALSE(FitsFileSystem(folder, QString(85, QChar(0x8868)) + "x"));
#endif
}

TEST(VisibleText, NoCharacterOfANameCanBreakALineOrDriveATerminal)
{
    const std::pair<QString, const char*> cases[] = {
        {QStringLiteral("\u62a5\u8868 #1 (a).xlsx"), "\xe6\x8a\xa5\xe8\xa1\xa8 #1 (a).xlsx"},
        {QStringLiteral("e\n\u6210\u529f\r\tx"), "e\\n\xe6\x88\x90\xe5\x8a\x9f\\r\\tx"},
        {QStringLiteral("\x1b[31mred\x7f\u009b"), "\\x1b[31mred\\x7f\\x9b"},
        {QString(QChar(0)) + QStringLiteral("\u2028\u2029"), "\\x00\\u2028\\u2029"},
    };
    for (const auto& [text, visible] : cases)
        EXPECT_EQ(VisibleText(text).toStdString(), visible);
}

} // namespace
