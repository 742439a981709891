#include "support/makefolder.h"

#include "common/isfolder.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Each case names the folder to make and, where its text differs, the folder that must then be
// there. Non-ASCII names are UTF-8 on both systems.
TEST(MakeFolderTest, MakesEveryMissingLevelHoweverThePathIsWritten)
{
    TempFolder base;
    const std::string root = base.path().string();
    fs::create_directories(base / "there/already");
    WriteFile(base / "there/already/keep.txt", "data");
    struct Case
    {
        std::string path;
        std::string folder;
    };
    std::vector<Case> cases = {
        {root + "/out/2024/pdf", ""},
        {root + "/trailing/level/", root + "/trailing/level"},
        {root + "/doubled//sep", root + "/doubled/sep"},
        {root + "/there/already", ""},
        {root + "/there/already/deeper", ""},
        {root + "/\xe6\x95\xb0\xe6\x8d\xae/\xe6\x8a\xa5\xe8\xa1\xa8 2024", ""},
    };
    std::string longPath = root;
    for (int level = 0; longPath.size() <= 1100; ++level)
        longPath += "/" + std::string(90, static_cast<char>('a' + level));
    cases.push_back({longPath, ""});
#ifdef _WIN32
    // Either separator, mixed and doubled, and lengths about the 260 characters where the plain
    // calls stop.
    ASSERT_EQ(root.substr(1, 2), ":\\");
    cases.push_back({root + "\\back\\a\\b\\", root + "\\back\\a\\b"});
    cases.push_back({root + "/mixed\\a/b/", root + "\\mixed\\a\\b"});
    cases.push_back({root + "\\\\doubled//a\\/b", root + "\\doubled\\a\\b"});
    for (std::size_t length : {247, 248, 259, 260, 261, 300}) {
        const std::string start = root + "\\near" + std::to_string(length) + "\\";
        const std::string folder = start + std::string(length - start.size(), 'n');
        cases.push_back({folder, ""});
        cases.push_back({folder + "/x", folder + "\\x"});
    }
#else
    // A backslash belongs to the name here.
    cases.push_back({root + "/m\\x/y", ""});
#endif
    for (const Case& c : cases) {
        EXPECT_EQ(MakeFolder(c.path), 0) << c.path.size() << " bytes: " << c.path;
        EXPECT_TRUE(IsFolder(c.folder.empty() ? c.path : c.folder, PathText::Utf8)) << c.path;
    }
    EXPECT_EQ(ReadFile(base / "there/already/keep.txt"), "data");
#ifndef _WIN32
    EXPECT_FALSE(fs::exists(base / "m"));
#endif
}

// A level that cannot be made ends the making with its own errno: what stands in its way, not a
// missing folder further down.
TEST(MakeFolderTest, AFolderThatCannotBeMadeGivesTheReasonOfTheLevelThatFailed)
{
    TempFolder base;
    WriteFile(base / "a-file", "x");
    fs::create_directories(base / "closed");
    fs::permissions(base / "closed", fs::perms::owner_read | fs::perms::owner_exec |
                                         fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(base.path(), fs::perms::all, fs::perm_options::add);
    struct Case
    {
        std::string path;
        int error;
    };
    std::vector<Case> cases = {
        {base / "a-file", ENOTDIR},
        {base / "a-file/sub/deeper", ENOTDIR},
        {"", ENOENT},
    };
#ifndef _WIN32
    // Windows keeps no permission bits on folders.
    cases.push_back({base / "closed/sub/deeper", EACCES});
#endif
    for (const Case& c : cases) {
        const int result = RunWithoutPrivilege([&c] { return MakeFolder(c.path); });
        if (result == -1000)
            OPTIONAL_SKIP("no unprivileged child could be made");
        EXPECT_EQ(result, c.error) << c.path;
    }
    EXPECT_EQ(ReadFile(base / "a-file"), "x");
    EXPECT_TRUE(fs::is_empty(base / "closed"));
}

} // namespace
