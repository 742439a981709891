#include "automation/temporaryfolder.h"

#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// TMPDIR set (or, with nullopt, unset) for the life of the object, and put back after.
class TemporaryTmpdir
{
public:
    explicit TemporaryTmpdir(const std::optional<std::string>& value)
    {
        if (const char* old = std::getenv("TMPDIR"))
            old_ = old;
        if (value)
            setenv("TMPDIR", value->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    ~TemporaryTmpdir()
    {
        if (old_)
            setenv("TMPDIR", old_->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> old_;
};

TEST(TemporaryFolder, OnlyAnAbsoluteExistingFolderServes)
{
    TempFolder temp;
    const std::string root = temp.path().string();
    std::ofstream(root + "/a-file") << "x";
    fs::create_directory(root + "/folder");
    struct Case
    {
        std::optional<std::string> tmpdir;
        std::string folder;
        std::string problem;
    };
    const Case cases[] = {
        {std::nullopt, "/tmp", ""},
        {root + "/folder", root + "/folder", ""},
        {std::string(), "", "临时文件夹不可用：TMPDIR=\"\"：是空的"},
        {std::string("reltmp"), "", "临时文件夹不可用：TMPDIR=\"reltmp\"：不是绝对路径"},
        {root + "/missing", "", "临时文件夹不可用：TMPDIR=\"" + root + "/missing\"：不存在"},
        {root + "/a-file", "", "临时文件夹不可用：TMPDIR=\"" + root + "/a-file\"：不是文件夹"},
        {root + "/a-file/below", "",
         "临时文件夹不可用：TMPDIR=\"" + root + "/a-file/below\"：不存在"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tmpdir.value_or("(unset)"));
        const TemporaryTmpdir tmpdir(c.tmpdir);
        std::string folder = "stale", problem = "stale";
        EXPECT_EQ(UsableTemporaryFolder(folder, problem), c.problem.empty());
        EXPECT_EQ(folder, c.folder);
        EXPECT_EQ(problem, c.problem);
    }
}

TEST(TemporaryFolder, AFolderWeCannotWriteDoesNotServe)
{
    TempFolder temp;
    const std::string readOnly = temp.path().string() + "/read-only";
    fs::create_directory(readOnly);
    chmod(temp.path().c_str(), 0755);
    chmod(readOnly.c_str(), 0555);
    const TemporaryTmpdir tmpdir(readOnly);
    const int result = RunWithoutPrivilege([&readOnly] {
        std::string folder, problem;
        const bool usable = UsableTemporaryFolder(folder, problem);
        return !usable && problem == "临时文件夹不可用：TMPDIR=\"" + readOnly + "\"：无法写入" ? 0
                                                                                               : 1;
    });
    if (result == -1000)
        OPTIONAL_SKIP("cannot run as an unprivileged user here");
    EXPECT_EQ(result, 0);
}

} // namespace
