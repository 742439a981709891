#include "convert/outputpaths.h"

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

} // namespace
