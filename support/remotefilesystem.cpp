#include "support/remotefilesystem.h"

#include <cstdint>

#ifndef _WIN32
#include <sys/vfs.h>
#endif

bool IsRemoteFileSystemType(unsigned long type)
{
    // The magic numbers of linux/magic.h and of the file systems that keep theirs to themselves.
    static const std::uint32_t remote[] = {
        0x6969,     // NFS
        0x517b,     // SMB
        0xff534d42, // CIFS
        0xfe534d42, // SMB2
        0x65735546, // FUSE (sshfs, rclone, ...)
        0x01021997, // 9p
        0x5346414f, // AFS (OpenAFS)
        0x6b414653, // kAFS
        0x00c36400, // Ceph
        0x73757245, // Coda
        0x564c,     // NCP
        0x0bd00bd0, // Lustre
        0x47504653, // GPFS
        0x01161970, // GFS2
        0x7461636f, // OCFS2
        0x19830326, // OrangeFS
        0xaad7aaea, // PanFS
    };
    // 32 bits wide, whatever the width of statfs's f_type here (and signed on 32-bit systems).
    const auto kind = static_cast<std::uint32_t>(type);
    for (const std::uint32_t each : remote)
        if (each == kind)
            return true;
    return false;
}

bool OnRemoteFileSystem(const std::string& folder)
{
#ifdef _WIN32
    (void)folder;
    return false;
#else
    struct statfs system;
    return statfs(folder.c_str(), &system) == 0 && IsRemoteFileSystemType(system.f_type);
#endif
}
