#include "convert/workbookdiscovery.h"

#ifndef _WIN32
#include "common/deepfolder.h"
#endif
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <utility>

namespace fs = std::filesystem;

namespace {

class DiscoveryTest : public ::testing::Test
{
protected:
    TempFolder root;

    void Touch(const std::string& relative)
    {
        fs::create_directories(fs::path(root / relative).parent_path());
        WriteFile(root / relative, "x");
    }

    // The listing as paths relative to the root, in list order; what could not be listed, as
    // failure lines relative to the root too, sorted; the folders listed, relative, sorted.
    std::vector<std::string> List()
    {
        std::vector<std::string> names;
        const QString base = QString::fromStdString(root.path().string()) + "/";
        QStringList failures, listed;
        for (const QFileInfo& entry :
             GetFileInfoList(QString::fromStdString(root.path()), &failures, &listed))
            names.push_back(entry.filePath().mid(base.size()).toStdString());
        folders.clear();
        for (const QString& folder : listed)
            folders.push_back(folder == base.chopped(1) ? "."
                                                        : folder.mid(base.size()).toStdString());
        std::sort(folders.begin(), folders.end());
        unlisted.clear();
        for (const QString& failure : failures)
            unlisted.push_back(failure.startsWith(base) ? failure.mid(base.size()).toStdString()
                                                        : failure.toStdString());
        std::sort(unlisted.begin(), unlisted.end());
        return names;
    }

    std::vector<std::string> unlisted;
    std::vector<std::string> folders;

    static std::size_t Position(const std::vector<std::string>& list, const std::string& name)
    {
        return std::find(list.begin(), list.end(), name) - list.begin();
    }
};

TEST_F(DiscoveryTest, FilesComeBeforeSubfoldersAndEachSubtreeStaysTogether)
{
    for (const char* file :
         {"a.xlsx", "z.xlsx", "p/b.xls", "p/q/c.xlsm", "p/q2/c2.xlsm", "r/d.xlsx", "r/e.txt"})
        Touch(file);
    const std::vector<std::string> list = List();
    ASSERT_EQ(list.size(), 7u);
    for (const char* file : {"a.xlsx", "z.xlsx"})
        for (const char* deeper : {"p/b.xls", "p/q/c.xlsm", "r/d.xlsx"})
            EXPECT_LT(Position(list, file), Position(list, deeper));
    EXPECT_LT(Position(list, "p/b.xls"), Position(list, "p/q/c.xlsm"));
    EXPECT_LT(Position(list, "p/b.xls"), Position(list, "p/q2/c2.xlsm"));
    // p's subtree and r's subtree are each contiguous.
    const auto p = {Position(list, "p/b.xls"), Position(list, "p/q/c.xlsm"),
                    Position(list, "p/q2/c2.xlsm")};
    EXPECT_EQ(std::max(p) - std::min(p), 2u);
    EXPECT_EQ(std::max(Position(list, "r/d.xlsx"), Position(list, "r/e.txt")) -
                  std::min(Position(list, "r/d.xlsx"), Position(list, "r/e.txt")),
              1u);
}

TEST_F(DiscoveryTest, HiddenFilesListedHiddenFoldersNotEntered)
{
    Touch(".hidden.xlsx");
    Touch(".secret/inside.xlsx");
    Touch("open/.also-hidden.xls");
    std::vector<std::string> list = List();
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{".hidden.xlsx", "open/.also-hidden.xls"}));
    EXPECT_TRUE(unlisted.empty());
    EXPECT_EQ(folders, (std::vector<std::string>{".", "open"}));
}

TEST_F(DiscoveryTest, NamesThatAreNotValidTextAreFailuresNotSilentGaps)
{
    Touch("ok.xlsx");
    Touch("lat\xe9.xls");
    Touch("\xe6\x8a\xa5\xff.XLSX");
    Touch("d\xff/inside.xlsx");
    Touch("lat\xe9.txt");        // not a workbook: nothing to say
    Touch(".h\xff/inside.xlsx"); // a hidden folder is left out anyway
    fs::create_symlink(root / "ok.xlsx", root / "link\xe9.xlsx");
    EXPECT_EQ(List(), std::vector<std::string>{"ok.xlsx"});
    const std::string reason = ": 名称不是有效的UTF-8文本，无法处理";
    EXPECT_EQ(unlisted, (std::vector<std::string>{"d\\xff" + reason, "lat\\xe9.xls" + reason,
                                                  "\xe6\x8a\xa5\\xff.XLSX" + reason}));
}

#ifndef _WIN32
// Whatever links lead where, a listing stays within the tree unless told otherwise, lists each
// real folder once, never enters a virtual file system and ends soon.
TEST(ListTreeTest, LinksLeadOnlyWhereTheRulesAllowAndEachFolderIsListedOnce)
{
    using Why = LeftOutFolder::Why;
    struct Case
    {
        const char* name;
        // Makes the tree below root, with elsewhere outside it.
        std::function<void(const fs::path& root, const fs::path& elsewhere)> make;
        bool follow;
        std::vector<std::string> names;                   // of the files, sorted
        std::vector<std::pair<std::string, Why>> leftOut; // relative to root
        std::vector<std::string> outsideLinks;            // relative to root
    };
    const auto touch = [](const fs::path& file) {
        fs::create_directories(file.parent_path());
        WriteFile(file, "x");
    };
    const auto outsideTree = [&](const fs::path& root, const fs::path& elsewhere) {
        touch(root / "a.xlsx");
        touch(elsewhere / "e.xlsx");
        fs::create_symlink(root / "a.xlsx", root / "link.xlsx");
        fs::create_directory_symlink(elsewhere, root / "outside");
    };
    // 28 levels, each with two links to the next: 2^28 paths to 28 folders.
    const auto fanOut = [&](const fs::path& levels, const fs::path& start) {
        for (int level = 0; level < 28; ++level) {
            const fs::path folder = levels / ("l" + std::to_string(level));
            touch(folder / ("w" + std::to_string(level) + ".xlsx"));
            if (level > 0) {
                const fs::path above = levels / ("l" + std::to_string(level - 1));
                fs::create_directory_symlink(folder, above / "a");
                fs::create_directory_symlink(folder, above / "b");
            }
        }
        fs::create_directory_symlink(levels / "l0", start);
    };
    std::vector<std::string> fanOutNames;
    for (int level = 0; level < 28; ++level)
        fanOutNames.push_back("w" + std::to_string(level) + ".xlsx");
    std::sort(fanOutNames.begin(), fanOutNames.end());

    const std::vector<Case> cases = {
        {"a link outside the tree is left out",
         outsideTree,
         false,
         {"a.xlsx"},
         {{"outside", Why::OutsideSource}},
         {}},
        {"a link outside the tree is followed when asked",
         outsideTree,
         true,
         {"a.xlsx", "e.xlsx"},
         {},
         {"outside"}},
        {"links within the tree list each folder once",
         [&](const fs::path& root, const fs::path&) {
             touch(root / "a.xlsx");
             touch(root / "p/b.xlsx");
             fs::create_directory_symlink(root, root / "p/back-to-root");
             fs::create_directory_symlink(root / "p", root / "p/self");
             fs::create_directory_symlink(root / "p", root / "again-p");
         },
         false,
         {"a.xlsx", "b.xlsx"},
         {},
         {}},
        {"a link to /proc is outside",
         [&](const fs::path& root, const fs::path&) {
             touch(root / "a.xlsx");
             fs::create_directory_symlink("/proc", root / "proc");
         },
         false,
         {"a.xlsx"},
         {{"proc", Why::OutsideSource}},
         {}},
        {"a followed link to /proc is a virtual file system",
         [&](const fs::path& root, const fs::path& elsewhere) {
             touch(root / "a.xlsx");
             fs::create_directory_symlink("/proc", root / "proc");
             // Reached through a folder outside, too.
             fs::create_directory_symlink("/sys", elsewhere / "sys");
             fs::create_directory_symlink(elsewhere, root / "outside");
         },
         true,
         {"a.xlsx"},
         {{"outside/sys", Why::VirtualFileSystem}, {"proc", Why::VirtualFileSystem}},
         {"outside", "proc"}},
        {"a fan-out of links within the tree",
         [&](const fs::path& root, const fs::path&) { fanOut(root / ".levels", root / "start"); },
         false,
         fanOutNames,
         {},
         {}},
        {"a fan-out of links outside the tree, followed",
         [&](const fs::path& root, const fs::path& elsewhere) {
             fanOut(elsewhere, root / "start");
         },
         true,
         fanOutNames,
         {},
         {"start"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder root, elsewhere;
        c.make(root.path(), elsewhere.path());
        ListingRules rules;
        rules.followOutsideLinks = c.follow;
        const QString base = QString::fromStdString(root.path().string());
        const auto relative = [&base](const QString& path) {
            return path.mid(base.size() + 1).toStdString();
        };
        const auto began = std::chrono::steady_clock::now();
        const TreeListing listing = ListTree(base, rules);
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
        std::vector<std::string> names;
        for (const QFileInfo& file : listing.files)
            names.push_back(file.fileName().toStdString());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.names);
        std::vector<std::pair<std::string, Why>> leftOut;
        for (const LeftOutFolder& folder : listing.leftOut)
            leftOut.emplace_back(relative(folder.path), folder.why);
        std::sort(leftOut.begin(), leftOut.end());
        EXPECT_EQ(leftOut, c.leftOut);
        std::vector<std::string> outsideLinks;
        for (const QString& link : listing.outsideLinks)
            outsideLinks.push_back(relative(link));
        std::sort(outsideLinks.begin(), outsideLinks.end());
        EXPECT_EQ(outsideLinks, c.outsideLinks);
        EXPECT_TRUE(listing.unlisted.isEmpty());
        EXPECT_FALSE(listing.stopped);
    }
}
#endif

// A stop request ends the listing before the next folder; kept files are only those asked for.
TEST_F(DiscoveryTest, AStopEndsTheListingAndOnlyKeptFilesAreHeld)
{
    Touch("a.xlsx");
    Touch("notes.txt");
    for (const char* folder : {"p", "q", "r"})
        Touch(std::string(folder) + "/b.xlsx");
    int asked = 0;
    ListingRules rules;
    rules.keep = IsWorkbookPath;
    rules.stop = [&asked] { return ++asked > 2; };
    const TreeListing stopped = ListTree(QString::fromStdString(root.path()), rules);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.folders.size(), 2);
    EXPECT_EQ(stopped.files.size(), 2);
    EXPECT_EQ(asked, 3);

    rules.stop = nullptr;
    const TreeListing whole = ListTree(QString::fromStdString(root.path()), rules);
    EXPECT_FALSE(whole.stopped);
    EXPECT_EQ(whole.files.size(), 4);
    for (const QFileInfo& file : whole.files)
        EXPECT_TRUE(IsWorkbookPath(file)) << file.filePath().toStdString();
}

TEST_F(DiscoveryTest, EmptyMissingAndFileOnlyFreeTrees)
{
    EXPECT_TRUE(List().empty());
    fs::create_directories(root / "only/folders/here");
    EXPECT_TRUE(List().empty());
    EXPECT_TRUE(GetFileInfoList(QString::fromStdString(root / "missing")).isEmpty());
}

#ifndef _WIN32
// A folder deeper than the system's longest path is named as too long, not left out silently
// and not blamed on its permissions.
TEST_F(DiscoveryTest, AFolderPastTheLongestPathIsNamedAsTooLong)
{
    Touch("a.xlsx");
    const DeepFolder deep(root.path());
    ASSERT_TRUE(deep.made());
    EXPECT_EQ(List(), std::vector<std::string>{"a.xlsx"});
    ASSERT_EQ(unlisted.size(), 1u);
    EXPECT_EQ(unlisted[0].substr(0, DeepFolder::Name.size()), DeepFolder::Name);
    EXPECT_EQ(unlisted[0].substr(unlisted[0].size() - std::strlen(": 路径太长")), ": 路径太长");
}
#endif

TEST_F(DiscoveryTest, UnreadableFoldersAreSkippedAndNamed)
{
    Touch("a.xlsx");
    Touch("locked/b.xlsx");
    Touch("z/c.xlsx");
    fs::permissions(root.path(), fs::perms::owner_all | fs::perms::others_read |
                                     fs::perms::others_exec | fs::perms::group_read |
                                     fs::perms::group_exec);
    fs::permissions(root / "z", fs::perms::all);
    fs::permissions(root / "locked", fs::perms::none);
    // The child reports the listing's size, and whether the locked folder was its one failure.
    const int outcome = RunWithoutPrivilege([&] {
        const int listed = static_cast<int>(List().size());
        const bool named = unlisted == std::vector<std::string>{"locked: 无法读取文件夹"};
        return listed * 10 + named;
    });
    fs::permissions(root / "locked", fs::perms::owner_all);
    if (outcome == -1000)
        OPTIONAL_SKIP("cannot run as an unprivileged user here");
    EXPECT_EQ(outcome, 21);
}

TEST(WorkbookTest, SuffixAndLockFileRules)
{
    const std::pair<const char*, bool> cases[] = {
        {"/in/Report.XLSX", true},       {"/in/Book1.xls", true},
        {"/in/macro.XlSm", true},        {"/in/q1.sales.xlsx", true},
        {"/in/~$Report.xlsx", false},    {"/in/data.xlsb", false},
        {"/in/data.csv", false},         {"/in/data.xls.bak", false},
        {"/in/old~$copy/a.xlsx", false}, {"/in/xls", false},
        {"/in/a.xlsx/", false},          {"/in/\xe6\x8a\xa5\xe8\xa1\xa8.XLS", true},
    };
    for (const auto& [path, accepted] : cases)
        EXPECT_EQ(IsWorkbookPath(QFileInfo(QString::fromUtf8(path))), accepted) << path;
}

} // namespace
