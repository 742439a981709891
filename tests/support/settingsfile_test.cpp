#include "support/settingsfile.h"

#ifndef _WIN32
#include "common/fullfilesystem.h"
#endif
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(SettingsLookup, FindsTheKeyAtALineStartAndReadsToTheLineEnd)
{
    struct Case
    {
        std::string text;
        const char* key;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"", "SourcePath", ""},
        {"SourcePath=D:\\in\\\r\nSavePath=E:\\out\\\r\n", "SourcePath", "D:\\in\\"},
        {"SourcePath=D:\\in\\\r\nSavePath=E:\\out\\\r\n", "SavePath", "E:\\out\\"},
        {"MergeSheets=y\r\n", "mergesheets", ""},                   // case-sensitive
        {"SourcePath= \t/in \t\r\n", "SourcePath", "/in"},          // trimmed
        {"  \tMergeSheets=y\r\n", "MergeSheets", "y"},              // blanks before the key
        {"Title=a=b=c\r\n", "Title", "a=b=c"},                      // "=" inside the value
        {"MergeSheets=y\r\nMergeSheets=n\r\n", "MergeSheets", "y"}, // the first line wins
        {"SourcePath=/in\r\n", "Path", ""},                         // no tail of another key
        {"Note=SourcePath=/evil\r\nSourcePath=/in\r\n", "SourcePath", "/in"},
        {"Note=SourcePath=/evil\r\n", "SourcePath", ""},
        {"A=1\nSourcePath=/in\nB=2\n", "SourcePath", "/in"}, // bare LF ends a line
        {"A=1\r\nSourcePath=/in", "SourcePath", "/in"},      // last line without line end
        {"SourcePath=\r\n", "SourcePath", ""},
        {"SourcePath=a\rb\r\n", "SourcePath", "a\rb"}, // a lone CR is no line end
        {std::string("X=\0\r\nMergeSheets=y\r\n", 20), "MergeSheets", "y"},
    };
    for (const Case& c : cases) {
        std::string value = "stale";
        GetKeyValue(value, c.text, c.key);
        EXPECT_EQ(value, c.expected) << "key " << c.key << " in: " << c.text;
    }
}

TEST(SettingsLookup, TrimBlanksTouchesOnlySpacesAndTabsAtTheEnds)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},   {" \t ", ""}, {" a b ", "a b"}, {"\ta\t", "a"}, {"\r\na\r\n", "\r\na\r\n"},
        {"x", "x"},
    };
    for (const auto& [text, expected] : cases) {
        std::string trimmed = text;
        TrimBlanks(trimmed);
        EXPECT_EQ(trimmed, expected);
    }
}

TEST(SettingsStore, ReplacesOnlyTheKeysLineOrAppendsIt)
{
    struct Case
    {
        std::string old;
        const char* key;
        const char* value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", "MergeSheets", "y", "MergeSheets=y\r\n"},
        {"A=1\r\n", "MergeSheets", "y", "A=1\r\nMergeSheets=y\r\n"},
        {"A=1", "MergeSheets", "y", "A=1\r\nMergeSheets=y\r\n"},
        {"A=1\n", "MergeSheets", "y", "A=1\nMergeSheets=y\r\n"},
        {"A=1\r\nMergeSheets=y\r\n# note\r\n", "MergeSheets", "n",
         "A=1\r\nMergeSheets=n\r\n# note\r\n"},
        {"A=1\nMergeSheets=y\nB=2\n", "MergeSheets", "n", "A=1\nMergeSheets=n\r\nB=2\n"},
        {"A=1\r\nMergeSheets=y", "MergeSheets", "n", "A=1\r\nMergeSheets=n\r\n"},
        {"  MergeSheets=y\r\n", "MergeSheets", "n", "  MergeSheets=n\r\n"},
        {"MergeSheets=y\r\nMergeSheets=y\r\n", "MergeSheets", "n",
         "MergeSheets=n\r\nMergeSheets=y\r\n"},
        {"Note=MergeSheets=y\r\n", "MergeSheets", "n", "Note=MergeSheets=y\r\nMergeSheets=n\r\n"},
        {"SourcePath=/in\r\n", "Path", "/x", "SourcePath=/in\r\nPath=/x\r\n"},
        {"SourcePath=/in\r\n", "SourcePath", " /a b\t", "SourcePath= /a b\t\r\n"},
        {std::string("A=\0z\r\nB=1\r\n", 11), "B", "2", std::string("A=\0z\r\nB=2\r\n", 11)},
    };
    for (const Case& c : cases) {
        std::string out;
        ReplaceKeyValue(out, c.old, c.key, c.value);
        EXPECT_EQ(out, c.expected) << "storing " << c.key << " into: " << c.old;
    }
}

class SettingsFileTest : public ::testing::Test
{
protected:
    TempFolder folder;
    std::string file = folder / "Quillsheet.qlx";

    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(SettingsFileTest, ReadsTheWholeFileWhateverItsSize)
{
    std::string text;
    EXPECT_EQ(ReadWholeFile(text, file), -1);
    const std::string big =
        std::string(20000, 'x') + "\r\nMergeSheets=y\r\n" + std::string(3, '\0');
    WriteFile(file, big);
    EXPECT_EQ(ReadWholeFile(text, file), 0);
    EXPECT_EQ(text, big);
    std::string value;
    GetKeyValue(value, text, "MergeSheets");
    EXPECT_EQ(value, "y");
    EXPECT_EQ(ReadWholeFile(text, folder.path().string()), -1);
}

TEST_F(SettingsFileTest, StoresInPlaceAndKeepsTheRest)
{
    const std::string longValue(5000, 'p');
    WriteFile(file, "Other=1\r\n");
    EXPECT_EQ(SetKeyValue(file, "MergeSheets", "y"), 0);
    EXPECT_EQ(SetKeyValue(file, "SourcePath", longValue), 0);
    EXPECT_EQ(SetKeyValue(file, "MergeSheets", "n"), 0);
    EXPECT_EQ(ReadFile(file), "Other=1\r\nMergeSheets=n\r\nSourcePath=" + longValue + "\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Quillsheet.qlx"});
}

TEST_F(SettingsFileTest, AMissingFileIsNeverCreated)
{
    EXPECT_EQ(SetKeyValue(file, "MergeSheets", "y"), -1);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(SettingsFileTest, RefusesWhatWouldBreakTheLineFormat)
{
    WriteFile(file, "A=1\r\n");
    EXPECT_EQ(SetKeyValue(file, "SourcePath", "/in\r\nMergeSheets=y"), -1);
    EXPECT_EQ(SetKeyValue(file, "SourcePath", "/in\nx"), -1);
    EXPECT_EQ(SetKeyValue(file, "SourcePath", std::string("/in\0x", 5)), -1);
    EXPECT_EQ(SetKeyValue(file, "", "v"), -1);
    EXPECT_EQ(SetKeyValue(file, "A=B", "v"), -1);
    EXPECT_EQ(ReadFile(file), "A=1\r\n");
}

#ifndef _WIN32
TEST_F(SettingsFileTest, KeepsPermissionsAndLinks)
{
    const std::string real = folder / "real.qlx";
    WriteFile(real, "A=1\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, file);
    EXPECT_EQ(SetKeyValue(file, "MergeSheets", "y"), 0);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(ReadFile(real), "A=1\r\nMergeSheets=y\r\n");
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

#endif

// Root ignores permission bits (and Wine run by root the read-only attribute), so these run as an
// unprivileged user.
TEST_F(SettingsFileTest, AFileThatCannotBeWrittenStaysAsItWas)
{
    WriteFile(file, "A=1\r\n");
    fs::permissions(folder.path(), fs::perms::all);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const int result = RunWithoutPrivilege([&] { return SetKeyValue(file, "MergeSheets", "y"); });
    if (result == -1000)
        OPTIONAL_SKIP("cannot run as an unprivileged user here");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadFile(file), "A=1\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Quillsheet.qlx"});
}

#ifndef _WIN32
TEST_F(SettingsFileTest, AWritableFileInAReadOnlyFolderIsStillStored)
{
    WriteFile(file, "A=1\r\n");
    fs::permissions(file, fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                             fs::perms::others_exec));
    fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    const int result = RunWithoutPrivilege([&] { return SetKeyValue(file, "MergeSheets", "y"); });
    if (result == -1000)
        OPTIONAL_SKIP("cannot run as an unprivileged user here");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(file), "A=1\r\nMergeSheets=y\r\n");
}

// A full disk fails the store after its temporary file was made: the settings file is not then
// rewritten in place, which would leave it cut short.
TEST_F(SettingsFileTest, AFullDiskLeavesTheFileWhole)
{
    const std::string old = "A=1\r\n" + std::string(20000, 'o') + "\r\n";
    FullFileSystem full({{"Quillsheet.qlx", old}});
    if (!full.Mounted())
        OPTIONAL_SKIP(full.Reason());
    EXPECT_EQ(SetKeyValue(full / "Quillsheet.qlx", "SourcePath", std::string(30000, 'p')), -1);
    EXPECT_EQ(ReadFile(full / "Quillsheet.qlx"), old);
    EXPECT_EQ(full.Names(), std::set<std::string>{"Quillsheet.qlx"});
}
#endif

// Sets or, with nullptr, removes an environment variable.
void SetEnvironment(const char* name, const char* value)
{
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

// A store that died half-way left its temporary file behind; a later store neither empties it
// nor puts it in place of the settings file. The store dies in a child process, as in a crash.
TEST_F(SettingsFileTest, ATemporaryNameInUseIsLeftAlone)
{
    // The child is a fresh run of this test program, with a folder of its own; it is told ours.
    const char* const sharedName = "QUILLSHEET_TEST_SETTINGS_FOLDER";
    if (!std::getenv(sharedName))
        SetEnvironment(sharedName, folder.path().string().c_str());
    const fs::path shared = std::getenv(sharedName);
    WriteFile(file, "A=1\r\n");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            fs::remove_all(folder.path());
            std::thread([&] {
                while (std::distance(fs::directory_iterator(shared), fs::directory_iterator()) <
                       2) {
                }
                std::_Exit(3);
            }).detach();
            SetKeyValue((shared / "Quillsheet.qlx").string(), "Big", std::string(32 << 20, 'b'));
            std::_Exit(4);
        },
        ::testing::ExitedWithCode(3), "");
    SetEnvironment(sharedName, nullptr);
    std::vector<std::string> entries = FolderEntries();
    ASSERT_EQ(entries.size(), 2u);
    const std::string leftover = folder / entries[entries[0] == "Quillsheet.qlx" ? 1 : 0];
    WriteFile(leftover, "left over");

    EXPECT_EQ(SetKeyValue(file, "MergeSheets", "y"), 0);
    EXPECT_EQ(ReadFile(file), "A=1\r\nMergeSheets=y\r\n");
    EXPECT_EQ(ReadFile(leftover), "left over");
}

// Each of two threads stores its key again and again. Either store may be lost to the other, but
// the file is always one store's whole text and no temporary file stays behind. Threads share a
// process id; msvcrt's rand() starts alike in every thread as in every process.
TEST_F(SettingsFileTest, TwoStoresAtOnceEachReplaceTheFileWhole)
{
    WriteFile(file, "Base=1\r\n");
    const std::vector<std::string> values = {"short", std::string(300, 'L')};
    std::atomic<int> failed{0};
    auto storeRepeatedly = [&](const std::string& key) {
        for (int round = 0; round < 200; ++round) {
            if (SetKeyValue(file, key, values[round % 2]) != 0)
                ++failed;
        }
    };
    std::thread first(storeRepeatedly, "K1");
    std::thread second(storeRepeatedly, "K2");
    first.join();
    second.join();

    EXPECT_EQ(failed, 0);
    std::istringstream lines(ReadFile(file));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "Base=1\r");
    std::vector<std::string> keys;
    while (std::getline(lines, line)) {
        const std::string key = line.substr(0, 2);
        const std::string value = line.substr(std::min<std::size_t>(3, line.size()));
        EXPECT_TRUE((key == "K1" || key == "K2") && line[2] == '=') << line.substr(0, 20);
        EXPECT_TRUE(value == values[0] + "\r" || value == values[1] + "\r") << line.substr(0, 20);
        keys.push_back(key);
    }
    EXPECT_LE(keys.size(), 2u);
    if (keys.size() == 2) {
        EXPECT_NE(keys[0], keys[1]);
    }
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Quillsheet.qlx"});
}

} // namespace
