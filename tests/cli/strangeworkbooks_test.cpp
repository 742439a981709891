#include "cli/clitest.h"

#include "common/officeprocesses.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Workbooks that the office reads otherwise than Excel (see make_strange_workbooks.py): sheets
// whose names it does not take, and a link to a text file beside the workbook.

namespace {

class StrangeWorkbooksTest : public CliTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(std::system(("/usr/bin/python3 " + Quoted(MAKE_STRANGE_WORKBOOKS) + " " +
                               Quoted(folder / "in"))
                                  .c_str()),
                  0);
    }

    // The lines that follow "全部失败：" on standard output.
    static std::vector<std::string> Failures(const Outcome& outcome)
    {
        const std::string heading = "全部失败：\n";
        const size_t at = outcome.out.find(heading);
        std::vector<std::string> lines;
        if (at == std::string::npos)
            return lines;
        std::istringstream rest(outcome.out.substr(at + heading.size()));
        for (std::string line; std::getline(rest, line);)
            lines.push_back(line);
        return lines;
    }

    static void ExpectNothingLeft(const Outcome& outcome)
    {
        EXPECT_EQ(OfficesOfThisProcess(outcome.pid), 0);
        EXPECT_TRUE(OfficeFilesOf(outcome.pid).empty());
    }
};

} // namespace

// Each sheet that the office leaves out fails under its own name, per sheet and merged; the other
// sheets print, and a first sheet that the office loads under a name of its own prints under it.
TEST_F(StrangeWorkbooksTest, SheetsWithNamesTheOfficeDoesNotTakeFailByName)
{
    const std::string book = folder / "in/names/names.xlsx";
    std::vector<std::string> expected;
    for (const char* name : {"a/b", "a\\b", "a*b", "a?b", "a:b", "a[b", "a]b", "'q", "q'"})
        expected.push_back(book + "(" + name + "): 工作表名称无效，无法读取");
    for (const bool merged : {false, true}) {
        SCOPED_TRACE(merged ? "merged" : "per sheet");
        const fs::path out = folder / (merged ? "merged" : "sheets");
        std::vector<std::string> args = {"--jobs", "1", folder / "in/names", out};
        if (merged)
            args.insert(args.begin(), "--merge-sheets");
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.exitCode, 1) << outcome.out << outcome.err;
        EXPECT_EQ(Failures(outcome), expected) << outcome.out;
        if (merged) {
            EXPECT_EQ(Pdfs(out), (std::set<std::string>{"first.pdf", "names.pdf"}));
            const std::string text = PdfText(out / "names.pdf");
            EXPECT_NE(text.find("MARK-1"), std::string::npos) << text;
            EXPECT_NE(text.find("MARK-11"), std::string::npos) << text;
        } else {
            EXPECT_EQ(Pdfs(out), (std::set<std::string>{"first(Sheet1).pdf", "first(Mid).pdf",
                                                        "names(One).pdf", "names(Two).pdf"}));
            EXPECT_NE(PdfText(out / "names(Two).pdf").find("MARK-11"), std::string::npos);
            EXPECT_NE(PdfText(out / "first(Sheet1).pdf").find("MARK-1"), std::string::npos);
        }
        ExpectNothingLeft(outcome);
    }
}

// INDIRECT to a CSV beside the workbook ends LibreOffice 7.4 (its own fault): that workbook fails
// as the office's unexpected end, and the workbooks before and after it convert, with one office
// or two.
TEST_F(StrangeWorkbooksTest, ALinkToACsvBesideTheWorkbookTakesNoOtherWorkbookDown)
{
    const std::string book = folder / "in/text/b.xlsx";
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(std::string("jobs ") + jobs);
        const fs::path out = folder / (std::string("out") + jobs);
        const Outcome outcome = Cli({"--jobs", jobs, folder / "in/text", out});
        EXPECT_EQ(outcome.exitCode, 1) << outcome.out << outcome.err;
        EXPECT_EQ(Failures(outcome), std::vector<std::string>{book + ": 办公软件意外退出"})
            << outcome.out;
        EXPECT_EQ(Pdfs(out), (std::set<std::string>{"a(Sheet).pdf", "c(Sheet).pdf"}));
        EXPECT_NE(PdfText(out / "a(Sheet).pdf").find("A-MARKER"), std::string::npos);
        EXPECT_NE(PdfText(out / "c(Sheet).pdf").find("C-MARKER"), std::string::npos);
        ExpectNothingLeft(outcome);
    }
}
