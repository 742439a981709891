#include "convert/outputpaths.h"
#include "convert/visibletext.h"

#include <gtest/gtest.h>

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

TEST(OutputPaths, PdfNamesDropOnlyTheLastSuffix)
{
    EXPECT_EQ(PdfPath("/out/q1", "q1.sales", "Sheet1"), "/out/q1/q1.sales(Sheet1).pdf");
    EXPECT_EQ(PdfPath("/out/q1", "q1.sales"), "/out/q1/q1.sales.pdf");
    EXPECT_EQ(PdfPath("/out", "a", "\xe6\x95\xb0 #1"),
              QString::fromUtf8("/out/a(\xe6\x95\xb0 #1).pdf"));
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
