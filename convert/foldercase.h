#pragma once

#include <QString>

// Whether the file system of folder takes two names that differ only in case for one file:
// always on Windows; on Linux on FAT, exFAT, NTFS, SMB and HFS+ mounts and in folders marked
// case-insensitive (ext4, f2fs). Anything that cannot be told is taken as case-sensitive, as
// Linux folders are.
bool FolderIgnoresCase(const QString& folder);
