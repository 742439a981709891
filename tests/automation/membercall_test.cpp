#include "automation/membercall.h"

#include <gtest/gtest.h>

namespace {

TEST(MemberCall, NamesMatchAsComMatchesThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"SetVisible (bool Visible)", "setvisible"},
        {"Open(const QString&)", "open"},
        {"Close (Boolean)", "close"},
        {"Quit(void)", "quit"},
        {"Value()", "value"},
        {"Cells(int, int)", "cells"},
        {"  WorkBooks  ", "workbooks"},
        {"ExportAsFixedFormat(QVariant,QVariant)", "exportasfixedformat"},
        {"", ""},
        {"(int)", ""},
    };
    for (const auto& [member, name] : cases)
        EXPECT_EQ(MemberName(member), QByteArray(name)) << member;
    EXPECT_EQ(MemberName(nullptr), QByteArray());
}

TEST(MemberCall, ArgumentsConvertAsActiveQtConvertsThem)
{
    const QVariantList args = {QStringLiteral("false"), QStringLiteral("true"), 0,
                               QStringLiteral("7"),     QStringLiteral("x"),    2.0};
    bool flag = true;
    EXPECT_TRUE(BoolArgument(args, 0, flag));
    EXPECT_FALSE(flag);
    EXPECT_TRUE(BoolArgument(args, 1, flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(BoolArgument(args, 2, flag));
    EXPECT_FALSE(flag);
    EXPECT_FALSE(BoolArgument(args, 9, flag));

    int number = 0;
    EXPECT_TRUE(IntArgument(args, 3, number));
    EXPECT_EQ(number, 7);
    EXPECT_TRUE(IntArgument(args, 5, number));
    EXPECT_EQ(number, 2);
    EXPECT_FALSE(IntArgument(args, 4, number));
    EXPECT_FALSE(IntArgument(args, 6, number));

    QString text;
    EXPECT_TRUE(TextArgument(args, 2, text));
    EXPECT_EQ(text, "0");
    EXPECT_FALSE(TextArgument(args, 6, text));
}

TEST(MemberCall, OnlyLeadingGivenArgumentsCount)
{
    EXPECT_TRUE(GivenArguments({}, {}, {}, {}, {}, {}, {}, {}).isEmpty());
    EXPECT_EQ(GivenArguments(1, 2, {}, 4, {}, {}, {}, {}), (QVariantList{1, 2}));
    EXPECT_EQ(GivenArguments(1, 2, 3, 4, 5, 6, 7, 8).size(), 8);
}

} // namespace
