#include "automation/failureclassification.h"
#include "automation/startfailure.h"

#include "common/fullfilesystem.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The office's messages, as it gives them, by the I/O error code they carry.
TEST(FailureClassification, TheOfficesMessagesByTheirErrorCode)
{
    const std::pair<const char*, FailureKind> cases[] = {
        // From exports whose PDF name was too long, and into a folder the user may not write to.
        {"SfxBaseModel::impl_store <file:///out/book(LLLL).pdf> failed: 0x11b(Error Area:Io "
         "Class:Parameter Code:27) at ./sfx2/source/doc/sfxbasemodel.cxx:3207",
         FailureKind::NameTooLong},
        {"SfxBaseModel::impl_store <file:///in/book.pdf> failed: 0xc10(Error Area:Io Class:Write "
         "Code:16) at ./sfx2/source/doc/sfxbasemodel.cxx:3207 at "
         "./sfx2/source/doc/sfxbasemodel.cxx:1783",
         FailureKind::NotWritable},
        {"failed: 0x507(Error Area:Io Class:Access Code:7)", FailureKind::NotWritable},
        {"failed: 0x1a09(Error Area:Io Class:Space Code:9)", FailureKind::DiskFull},
        {"failed: 0x808(Error Area:Io Class:Locking Code:8)", FailureKind::FileBusy},
        // Codes without a plainer reason, and a code's number inside another's.
        {"failed: 0x11b(Error Area:Io Class:General Code:27)", FailureKind::Reported},
        {"failed: 0x1d17(Error Area:Io Class:NotExists Code:17)", FailureKind::Reported},
        // Words are not codes: only the office's codes decide.
        {"the folder cannot be written: Permission denied", FailureKind::Reported},
        {"Something nobody foresaw", FailureKind::Reported},
    };
    for (const auto& [message, kind] : cases)
        EXPECT_EQ(KindOfOfficeMessage(message), kind) << message;
}

TEST(FailureClassification, TheSystemsErrorsByErrno)
{
    const std::pair<int, FailureKind> cases[] = {
        {ENAMETOOLONG, FailureKind::NameTooLong}, {EACCES, FailureKind::NotWritable},
        {EROFS, FailureKind::NotWritable},        {ENOSPC, FailureKind::DiskFull},
        {EDQUOT, FailureKind::DiskFull},          {EBUSY, FailureKind::FileBusy},
        {ETXTBSY, FailureKind::FileBusy},         {EIO, FailureKind::Reported},
        {ENOENT, FailureKind::Reported},          {EAGAIN, FailureKind::Reported},
    };
    for (const auto& [error, kind] : cases)
        EXPECT_EQ(KindOfErrno(error), kind) << std::strerror(error);
    const std::pair<std::string, FailureKind> tooLong[] = {
        {"/tmp/" + std::string(256, 'n') + "/a.xlsx", FailureKind::NameTooLong},
        {"/tmp/" + std::string(255, 'n') + "/a.xlsx", FailureKind::PathTooLong},
        {"/tmp" +
             [] {
                 std::string deep;
                 for (int level = 0; level < 40; ++level)
                     deep += "/" + std::string(120, 'd');
                 return deep;
             }() +
             "/a.xlsx",
         FailureKind::PathTooLong},
    };
    for (const auto& [path, kind] : tooLong)
        EXPECT_EQ(KindOfTooLongPath(path), kind) << path.size();
    const SystemFailure full = SystemFailureOf("cannot create a profile folder", ENOSPC);
    EXPECT_EQ(full.kind, FailureKind::DiskFull);
    EXPECT_EQ(full.message,
              std::string("cannot create a profile folder: ") + std::strerror(ENOSPC));
}

// An office that did not start is blamed on its installation only when its program is missing;
// a temporary folder that is full, holds no more files or may not be written is named instead.
TEST(FailureClassification, AnOfficeThatDidNotStart)
{
    TempFolder root;
    fs::permissions(root.path(), fs::perms::all);
    for (const char* folder : {"fine", "space", "files", "closed"})
        fs::create_directory(root / folder);
    fs::permissions(root / "fine", fs::perms::all);
    fs::permissions(root / "closed", fs::perms::owner_all);
    const FullFileSystem space(root / "space", FullFileSystem::Exhausted::Space);
    const FullFileSystem files(root / "files", FullFileSystem::Exhausted::Files);
    if (!space.Mounted() || !files.Mounted())
        OPTIONAL_SKIP("mounting a small file system needs root");
    const struct
    {
        bool installed;
        const char* folder;
        FailureKind kind;
    } cases[] = {
        {false, "fine", FailureKind::CannotStart},
        {false, "space", FailureKind::CannotStart},
        {true, "fine", FailureKind::NoAnswer},
        {true, "space", FailureKind::TemporaryFolderUnusable},
        {true, "files", FailureKind::TemporaryFolderUnusable},
        {true, "closed", FailureKind::TemporaryFolderUnusable},
        {true, "missing", FailureKind::TemporaryFolderUnusable},
    };
    for (const auto& [installed, folder, kind] : cases) {
        const std::string path = root / folder;
        const int found = RunWithoutPrivilege([&] {
            return static_cast<int>(KindOfFailedStart(FailureKind::NoAnswer, installed, path));
        });
        if (found == -1000)
            OPTIONAL_SKIP("cannot run as an unprivileged user here");
        EXPECT_EQ(found, static_cast<int>(kind)) << folder << (installed ? "" : ", not installed");
    }
}

} // namespace
