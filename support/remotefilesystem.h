#pragma once

#include <string>

// Whether changes to a folder can be made where this machine's kernel does not see them: on a
// network or user-space file system (NFS, SMB/CIFS, FUSE, 9p, AFS, Ceph, ...), where change
// notification tells only what this machine itself did. False where the kind cannot be read, and
// on Windows.
bool OnRemoteFileSystem(const std::string& folder);

// The same for a file system kind as statfs names it (its f_type).
bool IsRemoteFileSystemType(unsigned long type);
