#include "convert/changewatch.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QSet>
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
    QSet<QString> closed = {};  // closed after writing or moved in since the look before
};

// Plays the looks in turn on a watch that waits 2 s for what it finds changed, 300 ms for what
// it was told closed.
ChangeWatch Played(const QList<Look>& looks)
{
    ChangeWatch watch(2000, 300);
    for (const Look& look : looks) {
        EXPECT_EQ(Sorted(watch.Look(look.tree, look.at, look.closed).keys()), look.ready)
            << look.what;
        EXPECT_EQ(Sorted(watch.Waiting()), look.waiting) << look.what;
        for (const QString& path : look.convertedAfter)
            watch.Converted(path, look.tree.value(path));
    }
    return watch;
}

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
    EXPECT_EQ(Played(looks).Known(), (QHash<QString, FileVersion>{{"a", v2}, {"b", v3}}));
}

TEST(ChangeWatchTest, AWorkbookClosedAfterWritingIsReadyOnceItHasSettled)
{
    const FileVersion v1{100, 1000}, v2{200, 2000}, v3{200, 2050}, v4{400, 4000};
    const QList<Look> looks = {
        {"closed after a copy", 0, {{"a", v1}}, {}, {"a"}, {}, {"a"}},
        {"not yet settled", 299, {{"a", v1}}, {}, {"a"}, {}},
        {"settled", 300, {{"a", v1}}, {"a"}, {"a"}, {"a"}},
        {"written again and closed", 1000, {{"a", v2}}, {}, {"a"}, {}, {"a"}},
        {"touched at once: settles again", 1050, {{"a", v3}}, {}, {"a"}, {}},
        {"not yet settled since the touch", 1349, {{"a", v3}}, {}, {"a"}, {}},
        {"settled since the touch", 1350, {{"a", v3}}, {"a"}, {"a"}, {"a"}},
        {"found by a listing", 2000, {{"a", v3}, {"b", v1}}, {}, {"b"}, {}},
        {"a listed one waits long", 2300, {{"a", v3}, {"b", v1}}, {}, {"b"}, {}},
        {"then closed: settles from the close", 3000, {{"a", v3}, {"b", v4}}, {}, {"b"}, {}, {"b"}},
        {"settled", 3300, {{"a", v3}, {"b", v4}}, {"b"}, {"b"}, {"b"}},
        {"closed unchanged, or closed and gone",
         4000,
         {{"a", v3}, {"b", v4}},
         {},
         {},
         {},
         {"a", "c"}},
        {"moved over by a new one", 5000, {{"a", v1}, {"b", v4}}, {}, {"a"}, {}, {"a"}},
        {"closed again before it settled", 5200, {{"a", v1}, {"b", v4}}, {}, {"a"}, {}, {"a"}},
        {"the last close counts", 5499, {{"a", v1}, {"b", v4}}, {}, {"a"}, {}},
        {"settled", 5500, {{"a", v1}, {"b", v4}}, {"a"}, {"a"}, {"a"}},
    };
    EXPECT_EQ(Played(looks).Known(), (QHash<QString, FileVersion>{{"a", v1}, {"b", v4}}));
}

TEST(ChangeWatchTest, AnAbandonedWorkbookIsSeenAgainAsNew)
{
    const FileVersion v1{100, 1000};
    ChangeWatch watch(2000, 300);
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
