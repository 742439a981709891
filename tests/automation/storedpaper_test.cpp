#include "automation/listedsheets.h"
#include "automation/storedpaper.h"
#include "automation/workbookrelationships.h"

#include <gtest/gtest.h>

namespace {

using Size = StoredPaper::Size;
using Orientation = StoredPaper::Orientation;
using State = StoredPaperReader::State;

const QByteArray Main =
    R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";

QByteArray Worksheet(const QByteArray& afterCells)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           "\n<worksheet " +
           Main +
           R"(><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&lt;pageSetup paperSize="128"/&gt;</t></is></c></row></sheetData>)" +
           afterCells + "</worksheet>";
}

struct PaperCase
{
    const char* what;
    QByteArray part;
    State state;
    Size size;
    Orientation orientation;
};

// Feeds the part in pieces of size bytes, then ends it.
State Read(StoredPaperReader& reader, const QByteArray& part, int size)
{
    State state = State::NeedMore;
    for (int at = 0; at < part.size() && state == State::NeedMore; at += size)
        state = reader.Feed(part.mid(at, size));
    return reader.End();
}

} // namespace

TEST(StoredPaperReader, TellsWhichSheetsNameNoPaperOrOneTheOfficeDoesNotKnow)
{
    const QByteArray margins = R"(<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75"/>)";
    const PaperCase cases[] = {
        {"no page setup", Worksheet(margins), State::Done, Size::None, Orientation::Default},
        {"a code the office knows",
         Worksheet(R"(<pageSetup paperSize="9" orientation="landscape"/>)"), State::Done,
         Size::Known, Orientation::Landscape},
        {"no code: the schema's Letter, as Excel omits it",
         Worksheet(R"(<pageSetup orientation="portrait" r:id="rId1"/>)"), State::Done, Size::Known,
         Orientation::Portrait},
        {"a printer's own code",
         Worksheet(R"(<pageSetup paperSize="128" orientation="landscape"/>)"), State::Done,
         Size::Unknown, Orientation::Landscape},
        {"a Macintosh printer's 0, orientation left to the kind",
         Worksheet(R"(<pageSetup paperSize="0"/>)"), State::Done, Size::Unknown,
         Orientation::Default},
        {"an unknown code with a custom size",
         Worksheet(R"(<pageSetup paperSize="256" paperWidth="100mm" paperHeight="200mm"/>)"),
         State::Done, Size::Known, Orientation::Default},
        {"a custom view's page setup is not the sheet's",
         Worksheet(
             R"(<customSheetViews><customSheetView guid="{0}"><pageSetup paperSize="128"/></customSheetView></customSheetViews>)"),
         State::Done, Size::None, Orientation::Default},
        {"a chart sheet, prefixed",
         R"(<x:chartsheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:sheetView/><x:pageSetup paperSize="119" orientation="landscape"/></x:chartsheet>)",
         State::Done, Size::Unknown, Orientation::Landscape},
        {"not a sheet", "<workbook " + Main + "><pageSetup/></workbook>", State::Unreadable,
         Size::None, Orientation::Default},
        {"cut short before its end", Worksheet(margins).left(200), State::Unreadable, Size::None,
         Orientation::Default},
        {"a declaration",
         R"(<!DOCTYPE worksheet [<!ENTITY x SYSTEM "file:///etc/passwd">]><worksheet><pageSetup paperSize="128"/></worksheet>)",
         State::Unreadable, Size::None, Orientation::Default},
    };
    for (const PaperCase& c : cases) {
        for (int size : {1, 7, 1 << 20}) {
            StoredPaperReader reader;
            EXPECT_EQ(Read(reader, c.part, size), c.state) << c.what << ", pieces of " << size;
            if (c.state != State::Done)
                continue;
            EXPECT_EQ(reader.paper().size, c.size) << c.what;
            EXPECT_EQ(reader.paper().orientation, c.orientation) << c.what;
        }
    }
}

TEST(StoredPaperReader, StopsAtTheLimit)
{
    constexpr int most = 1024 * 1024;
    StoredPaperReader reader(most);
    EXPECT_EQ(reader.Feed("<worksheet " + Main + "><sheetData>"), State::NeedMore);
    const QByteArray rows(64 * 1024, ' ');
    State state = State::NeedMore;
    for (int fed = 0; fed <= most && state == State::NeedMore; fed += rows.size())
        state = reader.Feed(rows);
    EXPECT_EQ(state, State::Unreadable);
}

// Measured: the office sizes these alike under every locale, and the others by its default.
TEST(OfficeKnowsPaperCode, ExcelsNamedSizesTheOfficeHas)
{
    for (int code : {1, 9, 47, 50, 70, 75, 83, 88, 90})
        EXPECT_TRUE(OfficeKnowsPaperCode(code)) << code;
    for (int code : {-1, 0, 48, 49, 71, 74, 84, 87, 91, 118, 119, 128, 256})
        EXPECT_FALSE(OfficeKnowsPaperCode(code)) << code;
}

TEST(WorkbookRelationshipTargets, PartsInsideThePackageByRelationshipId)
{
    const QByteArray relationships =
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="t" Target="worksheets/sheet1.xml"/>)"
        R"(<Relationship Id="rId2" Type="t" Target="/xl/chartsheets/sheet%201.xml"/>)"
        R"(<Relationship Id="rId3" Type="t" Target="../xl/worksheets/./sheet3.xml"/>)"
        R"(<Relationship Id="rId4" Type="t" Target="../../outside.xml"/>)"
        R"(<Relationship Id="rId5" Type="t" Target="file:///etc/passwd" TargetMode="External"/>)"
        R"(</Relationships>)";
    const std::map<QString, QString> expected = {
        {"rId1", "xl/worksheets/sheet1.xml"},
        {"rId2", "xl/chartsheets/sheet 1.xml"},
        {"rId3", "xl/worksheets/sheet3.xml"},
    };
    EXPECT_EQ(WorkbookRelationshipTargets(relationships), expected);
    EXPECT_TRUE(
        WorkbookRelationshipTargets(
            R"(<!DOCTYPE Relationships [<!ENTITY x "y">]><Relationships><Relationship Id="rId1" Target="a.xml"/></Relationships>)")
            .empty());
    EXPECT_TRUE(WorkbookRelationshipTargets("<workbook/>").empty());
}

TEST(ListedSheetsReader, GivesEachSheetsRelationshipIdWhateverItsPrefix)
{
    const QByteArray part =
        R"(<workbook xmlns="http://purl.oclc.org/ooxml/spreadsheetml/main" xmlns:rel="http://purl.oclc.org/ooxml/officeDocument/relationships"><sheets>)"
        R"(<sheet name="One" sheetId="1" rel:id="rId7"/><sheet name="Two" sheetId="2" id="plain" rel:id="rId2"/>)"
        R"(</sheets></workbook>)";
    ListedSheetsReader reader;
    EXPECT_EQ(reader.Feed(part), ListedSheetsReader::State::Done);
    EXPECT_EQ(reader.names(), QStringList({"One", "Two"}));
    EXPECT_EQ(reader.relationshipIds(), QStringList({"rId7", "rId2"}));
}
