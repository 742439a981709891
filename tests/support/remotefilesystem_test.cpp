#include "support/remotefilesystem.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

namespace {

// Where inotify would miss what other machines change, the watch polls.
TEST(RemoteFileSystemTest, NetworkAndUserSpaceFileSystemsAreRemote)
{
    struct Case
    {
        const char* what;
        unsigned long type;
        bool remote;
    };
    const Case cases[] = {
        {"ext4", 0xef53, false},    {"tmpfs", 0x01021994, false},     {"btrfs", 0x9123683e, false},
        {"xfs", 0x58465342, false}, {"overlayfs", 0x794c7630, false}, {"NFS", 0x6969, true},
        {"SMB", 0x517b, true},      {"CIFS", 0xff534d42, true},       {"SMB2", 0xfe534d42, true},
        {"FUSE", 0x65735546, true}, {"9p", 0x01021997, true},         {"AFS", 0x5346414f, true},
        {"Ceph", 0x00c36400, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRemoteFileSystemType(c.type), c.remote) << c.what;
    TempFolder local;
    EXPECT_FALSE(OnRemoteFileSystem(local.path().string()));
}

} // namespace
