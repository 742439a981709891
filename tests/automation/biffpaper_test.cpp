#include "automation/biffpaper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Size = StoredPaper::Size;
using Orientation = StoredPaper::Orientation;

std::string Little(std::uint32_t value, int bytes)
{
    std::string text;
    for (int k = 0; k < bytes; ++k)
        text.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
    return text;
}

std::string Record(std::uint32_t type, const std::string& body)
{
    return Little(type, 2) + Little(static_cast<std::uint32_t>(body.size()), 2) + body;
}

const std::string Bof = Record(0x0809, std::string(16, '\0'));
const std::string Eof = Record(0x000A, "");

// SETUP: paper code and flags, the rest of its 34 bytes zero.
std::string SetupRecord(std::uint32_t paper, std::uint32_t flags)
{
    return Record(0x00A1, Little(paper, 2) + std::string(8, '\0') + Little(flags, 2) +
                              std::string(22, '\0'));
}

struct Sheet
{
    std::string name; // BIFF8's compressed characters, or UTF-16 code units when wide
    bool wide;
    std::string records; // between the substream's BOF and EOF
};

// A BIFF8 workbook stream: globals listing the sheets, then each sheet's substream.
std::string Workbook(const std::vector<Sheet>& sheets, std::size_t cutAt = std::string::npos)
{
    std::string globalsWithoutBounds = Bof;
    std::size_t boundsSize = 0;
    for (const Sheet& sheet : sheets)
        boundsSize += 4 + 8 + sheet.name.size();
    std::size_t offset = globalsWithoutBounds.size() + boundsSize + Eof.size();
    std::string globals = globalsWithoutBounds;
    std::string substreams;
    for (const Sheet& sheet : sheets) {
        const std::size_t characters = sheet.wide ? sheet.name.size() / 2 : sheet.name.size();
        globals += Record(0x0085, Little(static_cast<std::uint32_t>(offset), 4) + '\0' + '\0' +
                                      static_cast<char>(characters) +
                                      static_cast<char>(sheet.wide ? 1 : 0) + sheet.name);
        const std::string substream = Bof + sheet.records + Eof;
        substreams += substream;
        offset += substream.size();
    }
    return (globals + Eof + substreams).substr(0, cutAt);
}

} // namespace

TEST(SheetPapersOfBiff, EachSheetsSetupByName)
{
    const std::string cells = Record(0x0203, std::string(14, '\0')); // a NUMBER
    const std::string chinese("\x2d\x4e\x87\x65", 4);                // 中文 in UTF-16
    const std::string stream = Workbook({
        {"NoSetup", false, cells},
        {"NoPrinterSettings", false, cells + SetupRecord(9, 0x0004)},
        {"Code128", false, SetupRecord(128, 0x0000) + cells},
        {"A4", false, SetupRecord(9, 0x0002)},
        {chinese, true, SetupRecord(0, 0x0042)},
    });
    const struct
    {
        QString name;
        Size size;
        Orientation orientation;
    } expected[] = {
        {"NoSetup", Size::None, Orientation::Default},
        {"NoPrinterSettings", Size::None, Orientation::Default},
        {"Code128", Size::Unknown, Orientation::Landscape},
        {"A4", Size::Known, Orientation::Portrait},
        // Its orientation flagged as not given.
        {QString::fromUtf8("中文"), Size::Unknown, Orientation::Default},
    };
    const std::map<QString, StoredPaper> papers = SheetPapersOfBiff(stream);
    EXPECT_EQ(papers.size(), std::size(expected));
    for (const auto& sheet : expected) {
        const auto found = papers.find(sheet.name);
        ASSERT_NE(found, papers.end()) << sheet.name.toStdString();
        EXPECT_EQ(found->second.size, sheet.size) << sheet.name.toStdString();
        EXPECT_EQ(found->second.orientation, sheet.orientation) << sheet.name.toStdString();
    }
}

// A sheet whose substream does not end within the stream read is not taken as naming no paper.
TEST(SheetPapersOfBiff, LeavesOutWhatIsCutShort)
{
    const std::vector<Sheet> sheets = {{"Whole", false, SetupRecord(9, 0x0002)},
                                       {"Cut", false, std::string(40, '\0')}};
    const std::string whole = Workbook(sheets);
    const std::map<QString, StoredPaper> papers =
        SheetPapersOfBiff(whole.substr(0, whole.size() - 10));
    EXPECT_EQ(papers.count("Whole"), 1u);
    EXPECT_EQ(papers.count("Cut"), 0u);
    EXPECT_TRUE(SheetPapersOfBiff("not a workbook stream").empty());
}
