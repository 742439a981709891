#include "support/folderevents.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What a change in a watched folder is told as, and what is not told: each case watches "in"
// and "in/sub" (as the watch does, one by one) after its set-up and then makes its change.
TEST(FolderEventsTest, EachChangeIsToldOnceAsWhatItIs)
{
    struct Case
    {
        const char* what;
        std::function<void(const fs::path&in, const fs::path&outside)> before, change;
        std::vector<std::string> told; // "kind path below in"
    };
    const auto write = [](const fs::path& file) { WriteFile(file, "x"); };
    const Case cases[] = {
        {"written and closed", {}, [&](auto in, auto) { write(in / "a.xlsx"); }, {"closed a.xlsx"}},
        {"moved in",
         [&](auto, auto outside) { write(outside / "b.xlsx"); },
         [](auto in, auto outside) { fs::rename(outside / "b.xlsx", in / "b.xlsx"); },
         {"closed b.xlsx"}},
        {"in a watched folder below",
         {},
         [&](auto in, auto) { write(in / "sub/c.xls"); },
         {"closed sub/c.xls"}},
        {"read, not written",
         [&](auto in, auto) { write(in / "d.xlsx"); },
         [](auto in, auto) { ReadFile(in / "d.xlsx"); },
         {}},
        {"deleted",
         [&](auto in, auto) { write(in / "e.xlsx"); },
         [](auto in, auto) { fs::remove(in / "e.xlsx"); },
         {"gone e.xlsx"}},
        {"moved away",
         [&](auto in, auto) { write(in / "f.xlsx"); },
         [](auto in, auto outside) { fs::rename(in / "f.xlsx", outside / "f.xlsx"); },
         {"gone f.xlsx"}},
        {"a folder made",
         {},
         [](auto in, auto) { fs::create_directory(in / "new"); },
         {"folder came new"}},
        {"a folder moved in",
         [](auto, auto outside) { fs::create_directory(outside / "full"); },
         [](auto in, auto outside) { fs::rename(outside / "full", in / "full"); },
         {"folder came full"}},
        {"a link to a folder",
         {},
         [](auto in, auto outside) { fs::create_directory_symlink(outside, in / "link"); },
         {"folder came link"}},
        {"a watched folder moved away: nothing more from it",
         {},
         [&](auto in, auto outside) {
             fs::rename(in / "sub", outside / "sub");
             write(outside / "sub/g.xlsx");
         },
         {"folder gone sub"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder in, outside;
        fs::create_directory(in / "sub");
        if (c.before)
            c.before(in.path(), outside.path());
        FolderEvents events;
        ASSERT_TRUE(events.Available());
        for (const std::string& folder : {in.path().string(), in / "sub"})
            ASSERT_EQ(events.Watch(folder), FolderEvents::Added::Watched);
        c.change(in.path(), outside.path());
        std::vector<std::string> told;
        for (int wait = c.told.empty() ? 300 : 1000;; wait = 100) {
            const std::vector<FolderEvents::Event> batch = events.Wait(wait);
            if (batch.empty())
                break;
            for (const FolderEvents::Event& event : batch) {
                const char* kind[] = {"closed", "gone", "folder came", "folder gone", "overflow"};
                told.push_back(std::string(kind[static_cast<int>(event.kind)]) + " " +
                               event.path.substr(in.path().string().size() + 1));
            }
        }
        EXPECT_EQ(told, c.told);
    }
}

// A folder reached by two paths tells its changes under both, and one path forgotten leaves the
// other watched.
TEST(FolderEventsTest, AFolderReachedTwiceTellsUnderBothPaths)
{
    TempFolder in;
    fs::create_directory(in / "real");
    fs::create_directory_symlink(in / "real", in / "again");
    FolderEvents events;
    for (const char* folder : {"real", "again"})
        ASSERT_EQ(events.Watch(in / folder), FolderEvents::Added::Watched);
    WriteFile(in / "real/a.xlsx", "x");
    std::vector<std::string> paths;
    for (const FolderEvents::Event& event : events.Wait(1000))
        paths.push_back(event.path);
    EXPECT_EQ(paths, (std::vector<std::string>{in / "real/a.xlsx", in / "again/a.xlsx"}));
    EXPECT_EQ(events.Watch(in / "missing"), FolderEvents::Added::Failed);
}

} // namespace
