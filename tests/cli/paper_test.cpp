#include "cli/clitest.h"

#include "common/officeprocesses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

// The paper of sheets that name none, or one the office has no size for, as Excel prints them
// on the user's printer: its default follows the region (see make_paper_workbooks.py).

namespace {

// Page sizes in whole points, width first, as PageSize() gives them.
const std::string LetterUpright = "612 x 792";
const std::string LetterLandscape = "792 x 612";
const std::string A4Upright = "595 x 842";
const std::string A4Landscape = "842 x 595";

// The first page's size as pdfinfo gives it; empty without one.
std::string PageSize(const std::string& pdf)
{
    const std::string info = CommandOutput("pdfinfo " + Quoted(pdf) + " 2>/dev/null");
    const std::size_t at = info.find("Page size:");
    double width = 0, height = 0;
    if (at == std::string::npos ||
        std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &width, &height) != 2)
        return std::string();
    return std::to_string(std::lround(width)) + " x " + std::to_string(std::lround(height));
}

class PaperTest : public CliTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(std::system(("/usr/bin/python3 " + Quoted(MAKE_PAPER_WORKBOOKS) + " " +
                               Quoted(folder / "in"))
                                  .c_str()),
                  0);
    }
};

struct Region
{
    std::string lang;
    std::string lcPaper;
    std::string paper; // upright
};

} // namespace

// Sheets that name no paper, or a printer's own code, print on the region's paper, the latter in
// its stored orientation (landscape, one page, where the office alone printed an .xlsx's two
// upright); the paper follows LC_PAPER, not the locale of formats as the office's own default
// does. Papers stored as Excel stores them stay. Alike for .xlsx and .xls.
TEST_F(PaperTest, SheetsWithoutAPaperTheOfficeKnowsPrintOnTheRegionsPaper)
{
    const Region regions[] = {
        {"en_US.UTF-8", "", LetterUpright},
        {"zh_CN.UTF-8", "", A4Upright},
        {"de_DE.UTF-8", "", A4Upright},
        {"de_DE.UTF-8", "en_US.UTF-8", LetterUpright},
        {"en_US.UTF-8", "de_DE.UTF-8", A4Upright},
    };
    for (const Region& region : regions) {
        SCOPED_TRACE("LANG=" + region.lang + " LC_PAPER=" + region.lcPaper);
        std::vector<std::string> environment = CacheHere();
        for (const std::string& entry :
             {"LANG=" + region.lang, "LC_PAPER=" + region.lcPaper, std::string("LANGUAGE="),
              std::string("LC_ALL="), std::string("LC_MESSAGES="), std::string("LC_TIME="),
              std::string("LC_NUMERIC=")})
            environment.push_back(entry);
        const fs::path out = folder / ("out-" + std::to_string(&region - regions));
        const Outcome outcome = Cli({"--jobs", "1", folder / "in", out}, environment);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
        const bool letter = region.paper == LetterUpright;
        const std::map<std::string, std::string> expected = {
            {"None", region.paper},     {"Code128", letter ? LetterLandscape : A4Landscape},
            {"Zero", region.paper},     {"A4", A4Upright},
            {"Omitted", LetterUpright},
        };
        for (const char* book : {"paper", "xls/paper"}) {
            for (const auto& [sheet, page] : expected)
                EXPECT_EQ(PageSize(out / (book + ("(" + sheet + ").pdf"))), page)
                    << book << " " << sheet;
            EXPECT_EQ(PdfPages(out / (book + std::string("(Code128).pdf"))), 1) << book;
        }
        EXPECT_EQ(OfficesOfThisProcess(outcome.pid), 0);
    }
}
