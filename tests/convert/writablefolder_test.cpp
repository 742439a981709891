#include "convert/writablefolder.h"

#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Where the probe may and may not make its file, and that it leaves none behind.
TEST(WritableFolder, TheProbeFindsWhatRefusesFilesAndLeavesNothing)
{
    TempFolder temp;
    fs::create_directory(temp / "open");
    fs::create_directory(temp / "read-only");
    WriteFile(temp / "a-file", "x");
    chmod(temp.path().c_str(), 0755);
    chmod((temp / "read-only").c_str(), 0555);
    struct Case
    {
        std::string folder;
        bool writable;
    };
    const Case cases[] = {
        {temp / "open", true},
        {temp / "missing", false},
        {temp / "a-file", false},
        {"/proc", false}, // a read-only file system, which refuses even root
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        QString reason;
        EXPECT_EQ(FolderWritable(QString::fromStdString(c.folder), reason), c.writable);
        EXPECT_EQ(reason.isEmpty(), c.writable) << reason.toStdString();
    }
    EXPECT_TRUE(fs::is_empty(temp / "open"));
    EXPECT_EQ(
        UnwritableOutputFolderLine(QStringLiteral("/out"), QStringLiteral("Permission denied")),
        QStringLiteral("保存文件夹无法写入：/out：Permission denied"));

    // Permission bits, which root ignores.
    const std::string readOnly = temp / "read-only";
    const int result = RunWithoutPrivilege([&readOnly] {
        QString reason;
        return !FolderWritable(QString::fromStdString(readOnly), reason) && !reason.isEmpty() ? 0
                                                                                              : 1;
    });
    if (result == -1000)
        OPTIONAL_SKIP("cannot run as an unprivileged user here");
    EXPECT_EQ(result, 0);
}

} // namespace
