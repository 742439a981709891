#include "convert/treechanges.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

// Each change in turn to one watched tree, and the workbooks then listed and told closed: a
// workbook closed after writing is told so; what a folder's listing finds (a folder moved in
// whole) is listed, not told closed; links to files, hidden folders and other files stay out;
// what leaves, alone or with its folder, is forgotten, and a folder moved away tells no more;
// links out of the tree and their fan-outs are listed as a run lists them, and end.
TEST(TreeChangesTest, TheWorkbooksFollowTheTreesChanges)
{
    TempFolder in, outside;
    const auto write = [](const fs::path& file) { WriteFile(file, "x"); };
    fs::create_directories(in / "sub");
    fs::create_directories(in / ".hidden");
    for (const char* file : {"a.xlsx", "sub/b.xls", ".hidden/c.xlsx", "notes.txt"})
        write(in / file);
    fs::create_directories(outside / "box");
    write(outside / "box/g.xlsx");

    struct Step
    {
        const char* what;
        std::function<void()> change;
        QStringList workbooks; // below in, sorted
        QStringList closed;
    };
    const Step steps[] = {
        {"as listed at the start", [] {}, {"a.xlsx", "sub/b.xls"}, {}},
        {"written", [&] { write(in / "d.xlsx"); }, {"a.xlsx", "d.xlsx", "sub/b.xls"}, {"d.xlsx"}},
        {"not workbooks: other files, links to files, hidden folders",
         [&] {
             write(in / "e.txt");
             fs::create_symlink(in / "a.xlsx", in / "link.xlsx");
             fs::create_directories(in / ".h2");
             write(in / ".h2/x.xlsx");
         },
         {"a.xlsx", "d.xlsx", "sub/b.xls"},
         {}},
        {"a folder made",
         [&] { fs::create_directories(in / "new"); },
         {"a.xlsx", "d.xlsx", "sub/b.xls"},
         {}},
        {"written into it",
         [&] { write(in / "new/f.xlsx"); },
         {"a.xlsx", "d.xlsx", "new/f.xlsx", "sub/b.xls"},
         {"new/f.xlsx"}},
        {"a folder moved in whole",
         [&] { fs::rename(outside / "box", in / "box"); },
         {"a.xlsx", "box/g.xlsx", "d.xlsx", "new/f.xlsx", "sub/b.xls"},
         {}},
        {"deleted",
         [&] { fs::remove(in / "a.xlsx"); },
         {"box/g.xlsx", "d.xlsx", "new/f.xlsx", "sub/b.xls"},
         {}},
        {"a folder moved away, then written to",
         [&] {
             fs::rename(in / "sub", outside / "sub");
             write(outside / "sub/z.xlsx");
         },
         {"box/g.xlsx", "d.xlsx", "new/f.xlsx"},
         {}},
        {"a folder renamed",
         [&] { fs::rename(in / "new", in / "renamed"); },
         {"box/g.xlsx", "d.xlsx", "renamed/f.xlsx"},
         {}},
        {"a folder moved in with a link out of the tree, one to /proc and 28 levels of two "
         "links each",
         [&] {
             const fs::path fan = outside / "fan";
             for (int level = 0; level < 28; ++level) {
                 const fs::path here = fan / ".levels" / std::to_string(level);
                 fs::create_directories(here);
                 if (level > 0)
                     for (const char* link : {"a", "b"})
                         fs::create_directory_symlink("../" + std::to_string(level),
                                                      fan / ".levels" / std::to_string(level - 1) /
                                                          link);
             }
             fs::create_directory_symlink(".levels/0", fan / "levels");
             fs::create_directory_symlink("/proc", fan / "proc");
             fs::create_directory_symlink(outside / "sub", fan / "away");
             write(fan / "w.xlsx");
             fs::rename(fan, in / "fan");
         },
         {"box/g.xlsx", "d.xlsx", "fan/w.xlsx", "renamed/f.xlsx"},
         {}},
        {"written after them",
         [&] { write(in / "after.xlsx"); },
         {"after.xlsx", "box/g.xlsx", "d.xlsx", "fan/w.xlsx", "renamed/f.xlsx"},
         {"after.xlsx"}},
    };
    const QString root = QString::fromStdString(in.path().string());
    const auto below = [&root](QStringList paths) {
        for (QString& path : paths)
            path = path.mid(root.size() + 1);
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    TreeChanges tree(root);
    ASSERT_TRUE(tree.FromEvents());
    const std::atomic<bool> stop{false};
    for (const Step& step : steps) {
        step.change();
        QStringList closed;
        // What the change tells is all there at once; a look without news ends it.
        while (tree.Next({}, stop))
            closed += tree.Closed().values();
        EXPECT_EQ(below(tree.Workbooks().keys()), step.workbooks) << step.what;
        EXPECT_EQ(below(closed), step.closed) << step.what;
    }

    // A change that tells no event (here a new modification time) is read for the workbooks
    // waited for only.
    const QString d = root + "/d.xlsx", g = root + "/box/g.xlsx";
    for (const QString& path : {d, g})
        fs::last_write_time(path.toStdString(),
                            fs::last_write_time(path.toStdString()) + std::chrono::hours(1));
    EXPECT_TRUE(tree.Next({d}, stop));
    EXPECT_EQ(tree.Workbooks().value(d), FileVersion::Of(d));
    EXPECT_NE(tree.Workbooks().value(g), FileVersion::Of(g));
}

} // namespace
