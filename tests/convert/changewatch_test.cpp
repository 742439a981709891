#include "convert/changewatch.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace {

QStringList Sorted(QStringList paths)
{
    std::sort(paths.begin(), paths.end());
    return paths;
}

// One look at the tree, and what the watch then tells ready and still waiting for.
struct Look
{
    const char* what;
    qint64 at; // ms
    QHash<QString, FileVersion> tree;
    QStringList ready;
    QStringList waiting;
    QStringList convertedAfter; // converted at the versions of this look
};

TEST(ChangeWatchTest, AWorkbookIsReadyOnceItDiffersAndHasStayedTheSame)
{
    const FileVersion v1{100, 1000}, v2{200, 2000}, v3{300, 3000};
    const QList<Look> looks = {
        {"new workbooks wait", 0, {{"a", v1}, {"b", v1}}, {}, {"a", "b"}, {}},
        {"not yet stable", 1999, {{"a", v1}, {"b", v1}}, {}, {"a", "b"}, {}},
        {"a grows on, b is ready", 2000, {{"a", v2}, {"b", v1}}, {"b"}, {"a", "b"}, {"b"}},
        {"the clock restarted for a", 3999, {{"a", v2}, {"b", v1}}, {}, {"a"}, {}},
        {"a is ready, b unchanged", 4000, {{"a", v2}, {"b", v1}}, {"a"}, {"a"}, {"a"}},
        {"nothing changed", 9000, {{"a", v2}, {"b", v1}}, {}, {}, {}},
        {"b changes, a is removed", 9000, {{"b", v3}}, {}, {"b"}, {}},
        {"a comes back as it was: new again", 9500, {{"a", v2}, {"b", v3}}, {}, {"a", "b"}, {}},
        {"both ready", 11500, {{"a", v2}, {"b", v3}}, {"a", "b"}, {"a", "b"}, {"a", "b"}},
        {"converted, failed or not, until they change", 20000, {{"a", v2}, {"b", v3}}, {}, {}, {}},
    };
    ChangeWatch watch(2000);
    for (const Look& look : looks) {
        EXPECT_EQ(Sorted(watch.Look(look.tree, look.at).keys()), look.ready) << look.what;
        EXPECT_EQ(Sorted(watch.Waiting()), look.waiting) << look.what;
        for (const QString& path : look.convertedAfter)
            watch.Converted(path, look.tree.value(path));
    }
    EXPECT_EQ(watch.Known(), (QHash<QString, FileVersion>{{"a", v2}, {"b", v3}}));
}

TEST(ChangeWatchTest, AnAbandonedWorkbookIsSeenAgainAsNew)
{
    const FileVersion v1{100, 1000};
    ChangeWatch watch(2000);
    watch.Look({{"a", v1}}, 0);
    EXPECT_EQ(watch.Look({{"a", v1}}, 2000).keys(), QStringList{"a"});
    watch.Abandon("a");
    EXPECT_TRUE(watch.Waiting().isEmpty());
    EXPECT_TRUE(watch.Look({{"a", v1}}, 2500).isEmpty());
    EXPECT_EQ(watch.Look({{"a", v1}}, 4500).keys(), QStringList{"a"});
    // Found up to date before the watch began: ready only once it changes.
    watch.Converted("b", v1);
    EXPECT_TRUE(watch.Look({{"a", v1}, {"b", v1}}, 9000).keys() == QStringList{"a"});
}

} // namespace
