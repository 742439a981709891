#include "convert/atomicfile.h"
#include "convert/folderpath.h"

#include "common/fullfilesystem.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The files of a folder, recursively, relative to it.
std::set<std::string> Names(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(entry.path().lexically_relative(folder));
    return names;
}

// A file's bytes; "" for a folder or nothing.
std::string Contents(const std::string& path)
{
    return fs::is_regular_file(path) ? ReadFile(path) : std::string();
}

// A write that fails leaves what was there as it was and no temporary file; one that succeeds
// replaces the file whole and keeps its permissions.
TEST(AtomicFileTest, AFailedWriteKeepsTheOldFileAndLeavesNothing)
{
    const std::string old(21000, 'o');
    FullFileSystem full({{"report.json", old}});
    if (!full.Mounted())
        OPTIONAL_SKIP(full.Reason());
    TempFolder folder;
    fs::create_directories(folder / "a-folder/inside");
    WriteFile(folder / "kept.txt", old);
    chmod((folder / "kept.txt").c_str(), 0640);
    struct Case
    {
        const char* what;
        std::string path;
        bool written;
        const char* reason;
        std::function<std::set<std::string>()> names;
        std::set<std::string> expectedNames;
    };
    const std::vector<Case> cases = {
        {"a full file system",
         full / "report.json",
         false,
         "No space left on device",
         [&] { return full.Names(); },
         {"report.json"}},
        {"a folder in the way",
         folder / "a-folder",
         false,
         "Is a directory",
         [&] { return Names(folder.path()); },
         {"a-folder", "a-folder/inside", "kept.txt"}},
        {"no such folder",
         folder / "missing/report.json",
         false,
         "No such file or directory",
         [&] { return Names(folder.path()); },
         {"a-folder", "a-folder/inside", "kept.txt"}},
        {"replaced",
         folder / "kept.txt",
         true,
         "",
         [&] { return Names(folder.path()); },
         {"a-folder", "a-folder/inside", "kept.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = Contents(c.path);
        QString error;
        EXPECT_EQ(WriteFileAtomically(QString::fromStdString(c.path), "new", error), c.written);
        EXPECT_NE(error.indexOf(QString::fromUtf8(c.reason)), -1) << error.toStdString();
        EXPECT_EQ(Contents(c.path), c.written ? "new" : before);
        EXPECT_EQ(c.names(), c.expectedNames);
    }
    EXPECT_EQ(fs::status(folder / "kept.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A folder that cannot be made is told with the system's reason, the one for the level that
// failed.
TEST(AtomicFileTest, AFolderThatCannotBeMadeSaysWhy)
{
    TempFolder folder;
    fs::create_directories(folder / "closed");
    fs::permissions(folder.path(), fs::perms::all, fs::perm_options::add);
    chmod((folder / "closed").c_str(), 0555);
    WriteFile(folder / "a-file", "x");
    struct Case
    {
        std::string folder;
        bool made;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {folder / "new/deeper/deepest", true, ""},
        {folder / "closed/sub/deeper", false, "Permission denied"},
        {folder / "a-file/sub", false, "Not a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const int result = RunWithoutPrivilege([&c] {
            QString error;
            const bool made = MakeFolderPath(QString::fromStdString(c.folder), error);
            return made == c.made && error.contains(QString::fromUtf8(c.reason)) &&
                           made == fs::is_directory(c.folder)
                       ? 0
                       : 1;
        });
        if (result == -1000)
            OPTIONAL_SKIP("no unprivileged child could be made");
        EXPECT_EQ(result, 0);
    }
}

} // namespace
