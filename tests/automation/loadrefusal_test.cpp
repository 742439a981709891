#include "automation/loadrefusal.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// What is refused before the office sees it, as an ordinary user sees the files: the reason
// names the cause, where the office would only say it cannot open the file.
TEST(LoadRefusal, NamesTheCause)
{
    TempFolder root;
    fs::permissions(root.path(), fs::perms::all);
    std::ofstream(root.path() / "book.xlsx") << "PK";
    std::ofstream(root.path() / "locked.xlsx") << "PK";
    std::ofstream(root.path() / "empty.xlsx");
    fs::create_directory(root.path() / "closed");
    std::ofstream(root.path() / "closed/inside.xlsx") << "PK";
    fs::permissions(root.path() / "locked.xlsx", fs::perms::none);
    fs::permissions(root.path() / "closed", fs::perms::owner_all);
    std::string deep = root.path();
    for (int level = 0; level < 40; ++level)
        deep += "/" + std::string(120, 'd');
    const struct
    {
        std::string path;
        FailureKind kind;
    } cases[] = {
        {root.path() / "book.xlsx", FailureKind::None},
        {root.path() / "missing.xlsx", FailureKind::FileMissing},
        {root.path(), FailureKind::FileMissing},
        {root.path() / "empty.xlsx", FailureKind::FileEmpty},
        {root.path() / "locked.xlsx", FailureKind::NotReadable},
        {root.path() / "closed/inside.xlsx", FailureKind::NotReadable},
        {root.path() / (std::string(256, 'n') + ".xlsx"), FailureKind::NameTooLong},
        {deep + "/book.xlsx", FailureKind::PathTooLong},
    };
    for (const auto& [path, kind] : cases) {
        const int refused = RunWithoutPrivilege([&] {
            return static_cast<int>(RefusalBeforeLoading(QString::fromStdString(path)).kind);
        });
        if (refused == -1000)
            OPTIONAL_SKIP("cannot run as an unprivileged user here");
        EXPECT_EQ(refused, static_cast<int>(kind)) << path.substr(0, 200);
    }
}

} // namespace
