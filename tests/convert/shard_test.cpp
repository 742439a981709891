#include "convert/shard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Shard, OnlyKOfNWithKFromOneToNParses)
{
    const struct
    {
        const char* text;
        int index, count;
    } accepted[] = {{"1/1", 1, 1}, {"2/3", 2, 3}, {"3/3", 3, 3}, {"64/1000", 64, 1000}};
    for (const auto& c : accepted) {
        Shard shard;
        ASSERT_TRUE(ParseShard(c.text, shard)) << c.text;
        EXPECT_EQ(shard.index, c.index) << c.text;
        EXPECT_EQ(shard.count, c.count) << c.text;
    }
    for (const char* text : {"0/3", "4/3", "1/0", "-1/3", "+1/3", "a/b", " 1/2", "1/2 ", "1 /2",
                             "1/2/3", "1", "/2", "1/", "", "1.0/2", "2147483648/2147483648",
                             "1/99999999999999999999", "\xef\xbc\x91/\xef\xbc\x92" /* １/２ */}) {
        Shard shard;
        EXPECT_FALSE(ParseShard(QString::fromUtf8(text), shard)) << text;
    }
}

TEST(Shard, EachWorkbookFallsToOneShareByItsFolderAndBaseNameAlone)
{
    for (const int count : {1, 2, 3, 7, 10}) {
        std::vector<int> sizes(count, 0);
        for (int i = 0; i < 200; ++i) {
            const QString folder = QStringLiteral("dept%1/").arg(i % 7), base = QString::number(i);
            int shares = 0;
            for (int index = 1; index <= count; ++index) {
                const bool xls = InShard(folder + base + ".xls", base, {index, count});
                // a.xls and a.xlsx, whose PDF names depend on each other, stay together.
                EXPECT_EQ(InShard(folder + base + ".xlsx", base, {index, count}), xls);
                shares += xls;
                sizes[index - 1] += xls;
            }
            EXPECT_EQ(shares, 1) << folder.toStdString() << base.toStdString() << " of " << count;
        }
        for (int index = 1; index <= count; ++index)
            EXPECT_GT(sizes[index - 1], 200 / count / 3) << "share " << index << " of " << count;
    }
    // The same on every machine and in every process: shares worked out apart from the code.
    EXPECT_TRUE(InShard("q1/sales.xlsx", "sales", {4, 7}));
    EXPECT_TRUE(InShard("sales.xls", "sales", {5, 7}));
    EXPECT_TRUE(InShard(QString::fromUtf8("\xe6\x95\xb0\xe6\x8d\xae/\xe6\x8a\xa5\xe8\xa1\xa8.xls"),
                        QString::fromUtf8("\xe6\x8a\xa5\xe8\xa1\xa8"), {7, 7})); // 数据/报表.xls
}

} // namespace
