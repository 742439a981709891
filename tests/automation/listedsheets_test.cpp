#include "automation/listedsheets.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Head = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
)";
const QByteArray Main =
    R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";

QByteArray Part(const QByteArray& sheets, const QByteArray& after = "<definedNames/>")
{
    return Head + "<workbook " + Main + "><bookViews><workbookView/></bookViews><sheets>" + sheets +
           "</sheets>" + after + "</workbook>";
}

QByteArray Sheet(const QByteArray& name, int id)
{
    return "<sheet name=\"" + name + "\" sheetId=\"" + QByteArray::number(id) + "\" r:id=\"rId" +
           QByteArray::number(id) + "\"/>";
}

struct ReaderCase
{
    const char* what;
    QByteArray part;
    ListedSheetsReader::State state; // once the whole part is fed and ended
    QStringList names;               // when Done
};

// Feeds the part in pieces of size bytes (0: whole), then ends it.
ListedSheetsReader::State Read(ListedSheetsReader& reader, const QByteArray& part, int size)
{
    const int step = size > 0 ? size : std::max(1, part.size());
    ListedSheetsReader::State state = ListedSheetsReader::State::NeedMore;
    for (int at = 0; at < part.size() && state == ListedSheetsReader::State::NeedMore; at += step)
        state = reader.Feed(part.mid(at, step));
    return reader.End();
}

} // namespace

TEST(ListedSheetsReader, ReadsTheListAndRefusesWhatNoOfficeWrites)
{
    using State = ListedSheetsReader::State;
    const QByteArray laughs = Head + R"(<!DOCTYPE workbook [<!ENTITY a "aaaaaaaaaa">
<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">]>
<workbook )" + Main + "><sheets><sheet name=\"&c;\"/></sheets></workbook>";
    const QByteArray external = Head +
                                R"(<!DOCTYPE workbook [<!ENTITY x SYSTEM "file:///etc/passwd">]>
<workbook )" + Main + "><sheets><sheet name=\"&x;\"/></sheets></workbook>";
    QByteArray many;
    for (int k = 1; k <= 100001; ++k)
        many += "<sheet name=\"s\"/>";
    const QByteArray endless =
        Head + "<workbook " + Main + "><sheets>" + QByteArray(5 * 1024 * 1024, ' ');
    const ReaderCase cases[] = {
        {"names as written, entities and character references read",
         Part(Sheet("One", 1) + Sheet("a/b", 2) + Sheet("x &amp; &quot;y&quot; &#x2A;", 3)),
         State::Done,
         {"One", "a/b", "x & \"y\" *"}},
        {"every character the office refuses",
         Part(Sheet("a\\b", 1) + Sheet("a?b", 2) + Sheet("a:b", 3) + Sheet("[a]", 4) +
              Sheet("'q'", 5)),
         State::Done,
         {"a\\b", "a?b", "a:b", "[a]", "'q'"}},
        {"prefixed elements of the strict namespace",
         Head + "<x:workbook xmlns:x=\"http://purl.oclc.org/ooxml/spreadsheetml/main\">"
                "<x:sheets><x:sheet name=\"S\"/></x:sheets></x:workbook>",
         State::Done,
         {"S"}},
        {"no sheet", Part(""), State::Done, {}},
        {"what follows the list is never read",
         Head + "<workbook " + Main + "><sheets>" + Sheet("S", 1) + "</sheets><oops",
         State::Done,
         {"S"}},
        {"a sheet element outside the list is none",
         Head + "<workbook " + Main + "><other><sheet name=\"no\"/></other><sheets>" +
             Sheet("S", 1) + "</sheets></workbook>",
         State::Done,
         {"S"}},
        {"entity expansion", laughs, State::Unreadable, {}},
        {"external entity", external, State::Unreadable, {}},
        {"truncated inside the list", Part(Sheet("S", 1)).left(120), State::Unreadable, {}},
        {"no list at all", Head + "<workbook " + Main + "></workbook>", State::Unreadable, {}},
        {"not a workbook part", Head + "<worksheet><sheets/></worksheet>", State::Unreadable, {}},
        {"not XML", "PK\x03\x04 binary", State::Unreadable, {}},
        {"unbalanced", Head + "<workbook><sheets><sheet></sheets>", State::Unreadable, {}},
        {"more sheets than any office holds", Part(many), State::Unreadable, {}},
        {"a list that does not end within the limit", endless, State::Unreadable, {}},
    };
    for (const ReaderCase& c : cases) {
        for (const int size : {0, 1, 7, 65536}) {
            // In small pieces, the large parts would take long and tell nothing more.
            if (size > 0 && size < 100 && c.part.size() > 100000)
                continue;
            SCOPED_TRACE(testing::Message() << c.what << ", pieces of " << size);
            ListedSheetsReader reader;
            ASSERT_EQ(Read(reader, c.part, size), c.state);
            if (c.state == State::Done) {
                EXPECT_EQ(reader.names(), c.names);
            }
        }
    }
}

// As LibreOffice 7.4 loads an .xlsx: a sheet whose name it does not take is left out, unless it
// comes first (it keeps the office's own first sheet, named Sheet1); names it merely changes
// (duplicates, empty names) keep their sheets.
TEST(SheetsNotLoaded, ThoseTheOfficeLeavesOut)
{
    struct Case
    {
        const char* what;
        QStringList listed;
        int loaded;
        std::map<int, QString> notLoaded;
    };
    const Case cases[] = {
        {"all loaded", {"A", "b/c", "D"}, 3, {}},
        {"every refused character among good names",
         {"One", "a/b", "a\\b", "a*b", "a?b", "a:b", "a[b", "a]b", "Two"},
         2,
         {{2, "a/b"}, {3, "a\\b"}, {4, "a*b"}, {5, "a?b"}, {6, "a:b"}, {7, "a[b"}, {8, "a]b"}}},
        {"apostrophes first or last only", {"N", "'q", "q'", "x'y"}, 2, {{2, "'q"}, {3, "q'"}}},
        {"the first loaded under the office's name", {"/x", "Mid", "x/"}, 2, {{3, "x/"}}},
        {"the first of two refused loaded", {"a/b", "c/d", "Mid", "Sheet1"}, 3, {{2, "c/d"}}},
        {"a workbook of one refused sheet", {"a/b"}, 1, {}},
        {"more left out than refused: those refused only", {"A", "B", "c:d"}, 1, {{3, "c:d"}}},
        {"none refused", {"A", "B"}, 1, {}},
        {"more loaded than listed", {"A"}, 2, {}},
        {"an empty list", {}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SheetsNotLoaded(c.listed, c.loaded), c.notLoaded);
    }
}
