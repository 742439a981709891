#include "convert/applicationcount.h"

#include <gtest/gtest.h>

namespace {

QList<qint64> Workbooks(int count, qint64 bytes)
{
    QList<qint64> sizes;
    for (int i = 0; i < count; ++i)
        sizes << bytes;
    return sizes;
}

TEST(ApplicationCountTest, AFurtherApplicationOnlyWhereItsStartPays)
{
    constexpr qint64 Small = 10 << 10, Large = 5 << 20;
    const struct
    {
        const char* what;
        QList<qint64> sizes;
        int jobs;
        int applications;
    } cases[] = {
        {"nothing to convert", {}, 4, 0},
        {"one workbook", Workbooks(1, Small), 4, 1},
        {"a few small ones", Workbooks(8, Small), 2, 1},
        {"a dozen small ones", Workbooks(12, Small), 2, 2},
        {"never more than asked", Workbooks(60, Small), 2, 2},
        {"as many as pay", Workbooks(60, Small), 16, 13},
        {"two large ones", Workbooks(2, Large), 4, 2},
        {"no more than workbooks", Workbooks(3, Large), 8, 3},
        {"one job", Workbooks(60, Large), 1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ApplicationsWorthStarting(c.sizes, c.jobs), c.applications) << c.what;
}

} // namespace
