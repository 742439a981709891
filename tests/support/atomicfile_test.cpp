#include "support/atomicfile.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::set<std::string> Names(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Whatever the outcome, no temporary file stays; only a failure before the file beside the
// target was made leaves temporaryMade false, which tells the settings store it may write in
// place.
TEST(ReplaceFileAtomicallyTest, ReplacesWholeOrLeavesAllAsItWas)
{
    TempFolder folder;
    WriteFile(folder / "old.txt", "old");
    fs::create_directories(folder / "a-folder");
    // Windows refuses to rename over a folder as over a file in use: after a second's retries.
#ifdef _WIN32
    const int folderInTheWay = EACCES;
#else
    const int folderInTheWay = EISDIR;
#endif
    struct Case
    {
        const char* what;
        std::string path;
        int failure;
        bool temporaryMade;
        std::set<std::string> names;
    };
    const std::vector<Case> cases = {
        {"replaced", folder / "old.txt", 0, true, {"old.txt", "a-folder"}},
        {"made", folder / "new.txt", 0, true, {"old.txt", "new.txt", "a-folder"}},
        {"a folder in the way",
         folder / "a-folder",
         folderInTheWay,
         true,
         {"old.txt", "new.txt", "a-folder"}},
        {"no such folder",
         folder / "missing/x.txt",
         ENOENT,
         false,
         {"old.txt", "new.txt", "a-folder"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool temporaryMade = !c.temporaryMade;
        EXPECT_EQ(ReplaceFileAtomically(c.path, "new", temporaryMade), c.failure);
        EXPECT_EQ(temporaryMade, c.temporaryMade);
        if (c.failure == 0) {
            EXPECT_EQ(ReadFile(c.path), "new");
        }
        EXPECT_EQ(Names(folder.path()), c.names);
    }
    EXPECT_TRUE(fs::is_empty(folder / "a-folder"));
}

#ifndef _WIN32
// A link is replaced by the file, its target kept (the settings store follows links itself).
TEST(ReplaceFileAtomicallyTest, ReplacesALinkRatherThanItsTarget)
{
    TempFolder folder;
    WriteFile(folder / "target.txt", "old");
    fs::create_symlink(folder / "target.txt", folder / "link.txt");
    bool temporaryMade = false;
    EXPECT_EQ(ReplaceFileAtomically(folder / "link.txt", "new", temporaryMade), 0);
    EXPECT_FALSE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(ReadFile(folder / "link.txt"), "new");
    EXPECT_EQ(ReadFile(folder / "target.txt"), "old");
}
#endif

} // namespace
