#include "automation/officefixture.h"

#include <filesystem>

namespace {

void ExpectHarmless(AutomationObject& object)
{
    EXPECT_FALSE(object.querySubObject("WorkBooks"));
    EXPECT_FALSE(object.dynamicCall("Quit(void)").isValid());
    EXPECT_FALSE(object.dynamicCall("SetVisible (bool Visible)", "false").isValid());
    EXPECT_FALSE(object.property("DisplayAlerts").isValid());
    EXPECT_FALSE(object.setProperty("DisplayAlerts", false));
}

TEST(AutomationObjectTest, CallsOnANullObjectDoNothing)
{
    AutomationObject unbound;
    EXPECT_TRUE(unbound.isNull());
    ExpectHarmless(unbound);

    AutomationObject wrongServer;
    EXPECT_FALSE(wrongServer.setControl("Word.Application"));
    EXPECT_TRUE(wrongServer.isNull());
    ExpectHarmless(wrongServer);
    EXPECT_EQ(OfficesOfThisProcess(), 0);
}

using AutomationObjectOfficeTest = OfficeTest;

TEST_F(AutomationObjectOfficeTest, MembersMatchWhateverTheirSpellingUnknownOnesAnswerNothing)
{
    AutomationObject* excel = Bind();
    EXPECT_FALSE(excel->isNull());
    EXPECT_TRUE(excel->setProperty("DisplayAlerts", false));
    EXPECT_EQ(excel->property("displayalerts"), QVariant(false));
    EXPECT_TRUE(excel->querySubObject("WorkBooks"));
    EXPECT_TRUE(excel->querySubObject("workbooks"));
    EXPECT_TRUE(excel->querySubObject(" WORKBOOKS () "));
    EXPECT_FALSE(excel->querySubObject("Workbook"));
    EXPECT_FALSE(excel->dynamicCall("NoSuchMember(int)", 1).isValid());
    EXPECT_FALSE(excel->property("NoSuchProperty").isValid());
    EXPECT_FALSE(excel->setProperty("NoSuchProperty", 1));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(AutomationObjectOfficeTest, DeletingTheApplicationReleasesEverythingAndEndsTheOffice)
{
    TempFolder folder;
    WriteFile(folder / "book.xls", SpreadsheetMl({{"One", MarkedRows("x", 2)}}));
    AutomationObject* excel = Bind();
    std::vector<AutomationObject*> children;
    AutomationObject* book = Open(folder / "book.xls");
    ASSERT_TRUE(book);
    AutomationObject* sheet = Sheet(book, 1);
    AutomationObject* range = sheet->querySubObject("UsedRange");
    children = {book,
                sheet,
                book->querySubObject("Sheets"),
                range,
                range->querySubObject("Rows"),
                range->querySubObject("Columns"),
                sheet->querySubObject("Cells(int, int)", 1, 1)};
    int destroyed = 0;
    for (AutomationObject* child : children) {
        ASSERT_TRUE(child);
        QObject::connect(child, &QObject::destroyed, [&] { ++destroyed; });
    }
    EXPECT_EQ(range->parent(), sheet);
    EXPECT_EQ(sheet->parent(), book);
    EXPECT_GT(excel->serverProcessId(), 0);
    application.reset();
    EXPECT_EQ(destroyed, static_cast<int>(children.size()));
    EXPECT_EQ(OfficesOfThisProcess(), 0);
}

TEST_F(AutomationObjectOfficeTest, AfterQuitEveryCallFailsHarmlessly)
{
    TempFolder folder;
    WriteFile(folder / "book.xls", SpreadsheetMl({{"One", MarkedRows("x", 2)}}));
    AutomationObject* excel = Bind();
    AutomationObject* book = Open(folder / "book.xls");
    ASSERT_TRUE(book);
    excel->dynamicCall("Quit(void)");
    EXPECT_EQ(OfficesOfThisProcess(), 0);
    EXPECT_FALSE(Sheet(book, 1));
    EXPECT_FALSE(Open(folder / "book.xls"));
    excel->dynamicCall("Quit(void)");
}

} // namespace
