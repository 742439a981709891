#include "cli/clitest.h"

#include "common/pdf.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

// Excel's faces that this machine lacks, in the faces that print them (see
// automation/fontreplacements.h and automation/scriptfallback.h), as a real office prints them.

namespace {

class FontsTest : public CliTest
{
protected:
    // The test's own workbooks (see make_font_workbooks.py), converted sheet by sheet to "out".
    void Convert()
    {
        ASSERT_EQ(std::system(("/usr/bin/python3 " + Quoted(MAKE_FONT_WORKBOOKS) + " " +
                               Quoted(folder / "in"))
                                  .c_str()),
                  0);
        ASSERT_EQ(Cli({folder / "in", folder / "out"}).exitCode, 0);
    }

    std::string Pdf(const std::string& name) const { return folder / ("out/" + name + ".pdf"); }

    std::string Fonts(const std::string& name) const
    {
        return CommandOutput("pdffonts " + Quoted(Pdf(name)));
    }
};

TEST_F(FontsTest, ExcelsFacesPrintInTheirClonesAndScriptsInNotoFaces)
{
    ASSERT_NO_FATAL_FAILURE(Convert());

    // 24 columns of 10 digits of Calibri 11 (75 px, 0.78 in) break into 3 pages across A4's
    // printable width (6.77 in between the margins of 0.75 in), 8 columns a page. Excel counts
    // Aptos Narrow's columns in the same digits and lays Aptos out as wide: both break there too
    // in Carlito, where the wider digits of a fallback face (Noto Sans, DejaVu Sans) make the
    // columns wider (about 0.9 in), 7 a page, and the pages 4.
    EXPECT_EQ(PdfPages(Pdf("grid-Calibri(Grid)")), 3);
    for (const char* face : {"Aptos", "Aptos Narrow"}) {
        const std::string name = std::string("grid-") + face + "(Grid)";
        EXPECT_EQ(PdfPages(Pdf(name)), 3) << face;
        EXPECT_NE(Fonts(name).find("Carlito"), std::string::npos) << face;
    }

    // A cell in the name Excel for Mac gives the theme's body font prints in that font.
    EXPECT_NE(Fonts("theme(Corps)").find("Carlito"), std::string::npos);

    // Arabic, which Arial's clone lacks, in Noto Sans Arabic, not in the wider DejaVu Sans, and
    // every word of the right-to-left sheet within its page: the text that runs over to the left
    // ends 3.7 pt inside the page's edge, where in DejaVu Sans it ends 2.5 pt beyond it.
    const std::string arabic = Fonts("arabic(Arabic)");
    EXPECT_NE(arabic.find("NotoSansArabic"), std::string::npos) << arabic;
    EXPECT_EQ(arabic.find("DejaVu"), std::string::npos) << arabic;
    std::istringstream boxes(
        CommandOutput("pdftotext -bbox " + Quoted(Pdf("arabic(Arabic)")) + " - 2>/dev/null"));
    double pageWidth = 0;
    int words = 0;
    for (std::string line; std::getline(boxes, line);) {
        const auto value = [&line](const std::string& name) {
            const std::size_t at = line.find(name + "=\"");
            return at == std::string::npos ? -1.0 : std::stod(line.substr(at + name.size() + 2));
        };
        if (line.find("<page ") != std::string::npos)
            pageWidth = value("width");
        if (line.find("<word ") == std::string::npos)
            continue;
        ++words;
        EXPECT_GE(value("xMin"), 0) << line;
        EXPECT_LE(value("xMax"), pageWidth) << line;
    }
    EXPECT_GE(words, 8); // five headings and the three words that run over
}

} // namespace
