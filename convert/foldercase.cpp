#include "convert/foldercase.h"

#ifndef Q_OS_WIN
#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <unistd.h>
#endif

bool FolderIgnoresCase(const QString& folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return true;
#else
    const QByteArray path = QFile::encodeName(folder);
    struct statfs fileSystem;
    if (statfs(path.constData(), &fileSystem) != 0)
        return false;
    // Not all of these have a name in every kernel's headers.
    constexpr unsigned long ntfs = 0x5346544e, ntfs3 = 0x7366746e, hfsPlus = 0x482b;
    switch (static_cast<unsigned long>(fileSystem.f_type)) {
    case MSDOS_SUPER_MAGIC:
    case EXFAT_SUPER_MAGIC:
    case ntfs:
    case ntfs3:
    case SMB_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case hfsPlus:
        return true;
    default:
        break;
    }
    const int descriptor = open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    int flags = 0;
    const bool casefold =
        ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
    close(descriptor);
    return casefold;
#endif
}
