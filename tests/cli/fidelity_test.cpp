#include "cli/clitest.h"

#include "common/pdf.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Per-sheet PDFs against the office's own converter over the same workbooks: the same engine, so
// the pages a sheet prints there are the pages of that sheet's PDF here.

namespace {

// Workbooks written by Excel and others whose sheets hold only pictures or charts.
const char* const DrawingWorkbooks[] = {
    "xlrd/tests/samples/picture_in_cell.xls",
    "PhpSpreadsheet/tests/data/Writer/XLSX/drawing_on_2nd_page.xlsx",
    "XlsxWriter/xlsxwriter/test/comparison/xlsx_files/image01.xlsx",
    "apache-poi/test-data/spreadsheet/chart_sheet.xlsx",
};

class FidelityTest : public CliTest
{
protected:
    // The test's own workbooks (see make_fidelity_workbooks.py) in "in".
    void MakeWorkbooks()
    {
        ASSERT_EQ(std::system(("/usr/bin/python3 " + Quoted(MAKE_FIDELITY_WORKBOOKS) + " " +
                               Quoted(folder / "in"))
                                  .c_str()),
                  0);
    }

    // The sheets of each workbook that got a PDF, in order, from a run's report.
    static std::map<std::string, std::vector<std::string>> Printed(const std::string& report)
    {
        std::map<std::string, std::vector<std::string>> printed;
        for (const std::string& fact : ReportFacts(report)) {
            const std::size_t path = fact.find(' ') + 1, sheet = fact.find(' ', path) + 1;
            if (fact.rfind("pdf ", 0) == 0 && fact.size() > sheet + 2 &&
                fact.compare(fact.size() - 2, 2, " -") == 0)
                printed[fact.substr(path, sheet - 1 - path)].push_back(
                    fact.substr(sheet, fact.size() - 2 - sheet));
        }
        return printed;
    }
};

TEST_F(FidelityTest, EachSheetsPdfHoldsTheOfficesOwnPagesOfThatSheetAndNoOthers)
{
    ASSERT_NO_FATAL_FAILURE(MakeWorkbooks());
    for (const char* workbook : DrawingWorkbooks)
        if (!Corpus.empty())
            fs::copy_file(Corpus + '/' + workbook,
                          fs::path(folder / "in") / fs::path(workbook).filename());
    const std::string report = folder / "report.json";
    ASSERT_EQ(Cli({folder / "in", folder / "out", "--report", report}).exitCode, 0);
    std::vector<std::string> workbooks;
    for (const auto& entry : fs::directory_iterator(folder / "in"))
        workbooks.push_back(entry.path());
    ASSERT_TRUE(ConvertWithOffice(workbooks, "pdf", folder / "reference"));

    const auto printed = Printed(report);
    for (const std::string& workbook : workbooks) {
        const fs::path name = fs::path(workbook).filename();
        SCOPED_TRACE(name.string());
        const std::string stem = name.stem().string();
        std::vector<std::string> pages;
        std::string images;
        if (printed.count(name.string()))
            for (const std::string& sheet : printed.at(name.string())) {
                const std::string pdf = folder / ("out/" + stem + '(' + sheet + ").pdf");
                const std::vector<std::string> sheetPages = PdfPageTexts(pdf);
                pages.insert(pages.end(), sheetPages.begin(), sheetPages.end());
                images += PdfImages(pdf);
                // Comments stay off the page, as the office prints them by default.
                EXPECT_EQ(ReadFile(pdf).find("/Annot"), std::string::npos) << sheet;
            }
        const std::string reference = folder / ("reference/" + stem + ".pdf");
        EXPECT_EQ(pages, PdfPageTexts(reference));
        // Pictures compressed as in the office's own export.
        EXPECT_EQ(images, PdfImages(reference));
    }

    // Sheets with nothing to print are left out as such; drawings alone print.
    std::vector<std::string> cases;
    for (const std::string& fact : ReportFacts(report))
        if (fact.rfind("pdf cases.xlsx ", 0) == 0)
            cases.push_back(fact.substr(15));
    EXPECT_EQ(cases, (std::vector<std::string>{
                         "Data -", "PictureOnly -", "CommentsAndPicture -", "ChartSheet -",
                         "Last -", "HiddenCols nothing to print", "HiddenRows nothing to print",
                         "EmptyPrintArea nothing to print", "CommentsOnly nothing to print",
                         "FillOnly nothing to print"}));
    // Calibri is laid out in its metric twin, as Excel lays it out.
    EXPECT_NE(
        CommandOutput("pdffonts " + Quoted(folder / "out/calibri(Calibri).pdf")).find("Carlito"),
        std::string::npos);
}

TEST_F(FidelityTest, FormatsFollowTheUsersLocaleAndChineseFacesPrintInTheirKind)
{
    ASSERT_NO_FATAL_FAILURE(MakeWorkbooks());
    for (const char* other : {"cases.xlsx", "calibri.xlsx"})
        fs::remove(folder / (std::string("in/") + other));
    const struct
    {
        const char* locale;
        const char* date; // Excel's built-in format 14
    } cases[] = {{"zh_CN.UTF-8", "2024-1-5"}, {"en_US.UTF-8", "1/5/2024"}, {"C", "1/5/2024"}};
    for (const auto& [locale, date] : cases) {
        SCOPED_TRACE(locale);
        const std::string out = folder / locale;
        ASSERT_EQ(Cli({folder / "in", out},
                      {"LC_ALL=", "LC_TIME=", "LC_NUMERIC=", std::string("LANG=") + locale})
                      .exitCode,
                  0);
        EXPECT_NE(PdfText(out + "/cjk(宋体).pdf").find(date), std::string::npos);
    }
    // SimSun is a serif face and Microsoft YaHei a sans one; both are Chinese.
    const auto fonts = [this](const char* sheet) {
        return CommandOutput("pdffonts " +
                             Quoted(folder / (std::string("C/cjk(") + sheet + ").pdf")));
    };
    EXPECT_NE(fonts("宋体").find("NotoSerifCJK"), std::string::npos);
    EXPECT_EQ(fonts("宋体").find("NotoSansCJK"), std::string::npos);
    EXPECT_NE(fonts("雅黑").find("NotoSansCJK"), std::string::npos);
    EXPECT_EQ(fonts("雅黑").find("NotoSerifCJK"), std::string::npos);
}

} // namespace
