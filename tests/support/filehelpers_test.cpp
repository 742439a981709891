#include "support/filehelpers.h"

#include "common/isfolder.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct CutCase
{
    const char* text;
    const char* pattern;
    int include;
    int last;
    const char* expected;
    int result;
};

TEST(TextCuts, LeftOf)
{
    const std::vector<CutCase> cases = {
        {"C:\\Tools\\app.exe", "\\", 1, 1, "C:\\Tools\\", 1},
        {"C:\\Tools\\app.exe", "\\", 0, 1, "C:\\Tools", 1},
        {"C:\\Tools\\app.exe", "\\", 1, 0, "C:\\", 1},
        {"/usr/bin/quillsheet", "/", 1, 1, "/usr/bin/", 1},
        {"app.exe", "\\", 1, 1, "", -1},
        {"", "\\", 1, 1, "", -1},
        {"abc", "", 1, 0, "", -1},
        {"aaaa", "aa", 0, 1, "aa", 1}, // non-overlapping: matches at 0 and 2
        {"abc", "abc", 1, 0, "abc", 1},
        {"x=1", "=", 2, 7, "x=", 1},      // any positive include, any non-zero last
        {"x=1", "=", -1, 0, "x", 1},      // a negative include is clear
        {"Path=1", "path", 1, 0, "", -1}, // case-sensitive
    };
    for (const CutCase& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(LeftOf(out, c.text, c.pattern, c.include, c.last), c.result) << c.text;
        EXPECT_EQ(out, c.expected) << c.text << " / " << c.pattern;
    }
}

TEST(TextCuts, RightOf)
{
    const std::vector<CutCase> cases = {
        {"a=b=c", "=", 0, 0, "b=c", 1},
        {"a=b=c", "=", 0, 1, "c", 1},
        {"a=b=c", "=", 1, 0, "=b=c", 1},
        {"a=b=c", "=", 1, 1, "=c", 1},
        {"a=b=c", ";", 0, 0, "", -1},
        {"abc", "c", 0, 0, "", 1},
        {"\xe6\x95\xb0=\xe6\x8d\xae", "=", 0, 0, "\xe6\x8d\xae", 1},
    };
    for (const CutCase& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(RightOf(out, c.text, c.pattern, c.include, c.last), c.result) << c.text;
        EXPECT_EQ(out, c.expected) << c.text << " / " << c.pattern;
    }
}

TEST(TextCuts, BetweenSearchesTheRightPatternOnlyInWhatTheLeftCutKept)
{
    struct Case
    {
        const char* text;
        const char* left;
        const char* right;
        int includeLeft, includeRight, lastLeft, lastRight;
        const char* expected;
        int result;
    };
    const std::vector<Case> cases = {
        {"A=1\r\nKey=v\r\nB=2\r\n", "Key=", "\r\n", 0, 0, 0, 0, "v", 1},
        {"A=1\r\nKey=v\r\nB=2\r\n", "Key=", "\r\n", 1, 1, 0, 0, "Key=v\r\n", 1},
        {"A=1\r\nKey=v\r\nB=2\r\n", "Key=", "\r\n", 0, 0, 0, 1, "v\r\nB=2", 1},
        {"\r\nKey=v", "Key=", "\r\n", 0, 0, 0, 0, "", -1}, // the CR LF before it does not count
        {"Key=v", "Nope=", "\r\n", 0, 0, 0, 0, "", -1},
        {"[a][b]", "[", "]", 0, 0, 1, 0, "b", 1},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(Between(out, c.text, c.left, c.right, c.includeLeft, c.includeRight, c.lastLeft,
                          c.lastRight),
                  c.result)
            << c.text;
        EXPECT_EQ(out, c.expected) << c.text;
    }
}

TEST(TextCuts, SubStringClampsTheEndAndLeavesTheOutputAloneBeyondTheText)
{
    struct Case
    {
        std::size_t start, end;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {0, 3, "abc"}, {1, 3, "bc"}, {1, 100, "bcdef"}, {2, 2, ""},
        {4, 1, ""},    {6, 9, ""},   {7, 9, "stale"},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        SubString(out, "abcdef", c.start, c.end);
        EXPECT_EQ(out, c.expected) << c.start << ".." << c.end;
    }
}

TEST(TextCuts, IndexSearches)
{
    EXPECT_EQ(NthCharIndex("C:\\a\\b\\", '\\', 1), 2);
    EXPECT_EQ(NthCharIndex("C:\\a\\b\\", '\\', 3), 6);
    EXPECT_EQ(NthCharIndex("C:\\a\\b\\", '\\', 4), -1);
    EXPECT_EQ(NthCharIndex("C:\\a\\b\\", '\\', 0), -1);
    EXPECT_EQ(NthCharIndex("C:\\a\\b\\", '\\', -2), -1);
    EXPECT_EQ(NthCharIndex("", '\\', 1), -1);

    EXPECT_EQ(LastIndexOf("a/b/c", "/"), 3);
    EXPECT_EQ(LastIndexOf("aaa", "aa"), 0); // the match at 1 overlaps the one at 0
    EXPECT_EQ(LastIndexOf("abc", "x"), -1);
    EXPECT_EQ(LastIndexOf("abc", ""), -1);
}

TEST(TextReplacement, FirstAndAll)
{
    struct Case
    {
        const char* text;
        const char* pattern;
        const char* replacement;
        const char* first;
        const char* all;
    };
    const std::vector<Case> cases = {
        {"D:/out/2024/pdf", "/", "\\", "D:\\out/2024/pdf", "D:\\out\\2024\\pdf"},
        {"none here", "/", "\\", "none here", "none here"},
        {"aaaa", "aa", "a", "aaa", "a"},    // replacing may form the pattern again
        {"xaab", "ab", "b", "xab", "xb"},   // ... also just before the replaced span
        {"a/b", "/", "//", "a//b", "a//b"}, // a replacement holding the pattern still ends
        {"abc", "", "x", "abc", "abc"},
        {"/", "/", "", "", ""},
    };
    for (const Case& c : cases) {
        std::string first = c.text;
        ReplaceFirst(first, c.pattern, c.replacement);
        EXPECT_EQ(first, c.first) << c.text;
        std::string all = c.text;
        ReplaceAll(all, c.pattern, c.replacement);
        EXPECT_EQ(all, c.all) << c.text;
    }
}

class MakeDirPathTest : public ::testing::Test
{
protected:
    TempFolder base;
};

TEST_F(MakeDirPathTest, CreatesEveryMissingLevelWithOrWithoutTrailingSeparator)
{
    MakeDirPath(base / "out/2024/pdf");
    EXPECT_TRUE(fs::is_directory(base / "out/2024/pdf"));
    MakeDirPath(base / "second/level/");
    EXPECT_TRUE(fs::is_directory(base / "second/level"));
    MakeDirPath(base / "doubled//sep");
    EXPECT_TRUE(fs::is_directory(base / "doubled/sep"));
}

TEST_F(MakeDirPathTest, ExistingFoldersStayAsTheyAre)
{
    fs::create_directories(base / "a/b");
    WriteFile(base / "a/b/keep.txt", "data");
    MakeDirPath(base / "a/b");
    MakeDirPath(base / "a/b/c");
    EXPECT_EQ(ReadFile(base / "a/b/keep.txt"), "data");
    EXPECT_TRUE(fs::is_directory(base / "a/b/c"));
}

TEST_F(MakeDirPathTest, NonAsciiAndVeryLongPathsAreCreatedWhole)
{
    MakeDirPath(base / "\xe6\x95\xb0\xe6\x8d\xae/\xe6\x8a\xa5\xe8\xa1\xa8 2024");
    EXPECT_TRUE(
        IsFolder(base / "\xe6\x95\xb0\xe6\x8d\xae/\xe6\x8a\xa5\xe8\xa1\xa8 2024", PathText::Ansi));

    std::string longPath = base.path().string();
    for (int level = 0; longPath.size() <= 1100; ++level)
        longPath += "/" + std::string(90, static_cast<char>('a' + level));
    ASSERT_GT(longPath.size(), 1024u);
    MakeDirPath(longPath);
    EXPECT_TRUE(IsFolder(longPath, PathText::Ansi));
}

TEST_F(MakeDirPathTest, AFolderThatCannotBeMadeIsPassedOver)
{
    WriteFile(base / "file", "x");
    MakeDirPath(base / "file/sub");
    EXPECT_TRUE(fs::is_regular_file(base / "file"));
    EXPECT_FALSE(fs::exists(base / "file/sub"));
}

#ifdef _WIN32
// Drive paths with either separator, mixed and doubled, and lengths about the 260 characters
// where the ANSI calls stop.
TEST_F(MakeDirPathTest, DrivePathsWithBothSeparatorsAtAnyLength)
{
    const std::string root = base.path().string();
    ASSERT_EQ(root.substr(1, 2), ":\\");
    std::string slashed = root;
    ReplaceAll(slashed, "\\", "/");
    struct Case
    {
        std::string path;
        std::string folder;
    };
    std::vector<Case> cases = {
        {slashed + "/fwd/a/b", root + "\\fwd\\a\\b"},
        {root + "\\back\\a\\b\\", root + "\\back\\a\\b"},
        {slashed + "/mixed\\a/b/", root + "\\mixed\\a\\b"},
        {root + "\\\\doubled//a\\/b", root + "\\doubled\\a\\b"},
    };
    for (std::size_t length : {247, 248, 259, 260, 261, 300}) {
        const std::string start = root + "\\near" + std::to_string(length) + "\\";
        const std::string folder = start + std::string(length - start.size(), 'n');
        cases.push_back({folder, folder});
        cases.push_back({folder + "/x", folder + "\\x"});
    }
    for (const Case& c : cases) {
        MakeDirPath(c.path);
        EXPECT_TRUE(IsFolder(c.folder, PathText::Ansi)) << c.path.size() << " bytes: " << c.path;
    }
}
#else
// Windows takes "/" and "\\" alike; here a backslash belongs to the name.
TEST_F(MakeDirPathTest, BackslashIsAnOrdinaryCharacter)
{
    MakeDirPath(base / "m\\x/y");
    EXPECT_TRUE(fs::is_directory(base / "m\\x/y"));
    EXPECT_FALSE(fs::exists(base / "m"));
}
#endif

} // namespace
