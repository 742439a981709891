#include "convert/workbookdiscovery.h"

#include "convert/visibletext.h"

#include <QCoreApplication>
#include <QDir>

#ifndef Q_OS_WIN
#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#endif

#include <set>
#include <utility>

namespace {

bool HasWorkbookName(const QString& path)
{
    const QString key = QDir::toNativeSeparators(path).toLower();
    const bool workbookSuffix = key.endsWith(QLatin1String(".xls")) ||
                                key.endsWith(QLatin1String(".xlsx")) ||
                                key.endsWith(QLatin1String(".xlsm"));
    return workbookSuffix && !key.contains(QLatin1String("~$"));
}

#ifndef Q_OS_WIN

// The bytes of a name that is not valid UTF-8: what is valid as text, the rest as "\xNN".
QString ShownBytes(const QByteArray& raw)
{
    QString shown;
    for (int i = 0; i < raw.size();) {
        const auto lead = static_cast<unsigned char>(raw[i]);
        const int length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
        const QByteArray piece = raw.mid(i, length);
        const QString decoded = QString::fromUtf8(piece);
        if (lead >= 0xc2 && lead <= 0xf4 && piece.size() == length && decoded.toUtf8() == piece &&
            !decoded.contains(QChar::ReplacementCharacter)) {
            shown += decoded;
            i += length;
        } else if (lead < 0x80) {
            shown += QChar(lead);
            ++i;
        } else {
            shown += QStringLiteral("\\x%1").arg(lead, 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return shown;
}

// Reads the folder as the system gives it, for what Qt cannot list: the folder itself when it
// cannot be read, and the folders and workbooks whose names Qt's text cannot hold (Qt leaves
// those out of its listings without a word).
void NoteUnlisted(const QString& folder, QStringList& unlisted)
{
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = opendir(encoded.constData());
    if (!dir) {
        unlisted << VisibleText(QDir::toNativeSeparators(folder)) + QStringLiteral(": ") +
                        (errno == ENAMETOOLONG
                             ? QCoreApplication::translate("FailureReasons", "路径太长")
                             : QCoreApplication::translate("FailureReasons", "无法读取文件夹"));
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (QFile::encodeName(QFile::decodeName(raw)) == raw)
            continue;
        const QByteArray full = encoded + '/' + raw;
        struct stat target, link;
        if (stat(full.constData(), &target) != 0 || lstat(full.constData(), &link) != 0)
            continue;
        const QString shown = VisibleText(QDir::toNativeSeparators(folder + '/' + ShownBytes(raw)));
        // What the listing leaves out by its own rules stays out: hidden folders, links to files.
        const bool listed = S_ISDIR(target.st_mode)
                                ? !raw.startsWith('.')
                                : !S_ISLNK(link.st_mode) && HasWorkbookName(shown);
        if (listed)
            unlisted << shown + QStringLiteral(": ") +
                            QCoreApplication::translate("FailureReasons",
                                                        "名称不是有效的UTF-8文本，无法处理");
    }
    closedir(dir);
}

#else

void NoteUnlisted(const QString& folder, QStringList& unlisted)
{
    if (!QFileInfo(folder).isReadable())
        unlisted << VisibleText(QDir::toNativeSeparators(folder)) + QStringLiteral(": ") +
                        QCoreApplication::translate("FailureReasons", "无法读取文件夹");
}

#endif

#ifndef Q_OS_WIN

// The file systems that hold no workbooks but endless or changing trees of their own.
bool IsVirtualFileSystem(const QByteArray& path)
{
    struct statfs system;
    if (statfs(path.constData(), &system) != 0)
        return false;
    constexpr unsigned long ConfigFsMagic = 0x62656570;
    constexpr unsigned long FuseControlMagic = 0x65735543;
    constexpr unsigned long MessageQueueMagic = 0x19800202;
    static const std::set<unsigned long> virtualTypes{
        PROC_SUPER_MAGIC,    SYSFS_MAGIC,    DEVPTS_SUPER_MAGIC, CGROUP_SUPER_MAGIC,
        CGROUP2_SUPER_MAGIC, DEBUGFS_MAGIC,  TRACEFS_MAGIC,      SECURITYFS_MAGIC,
        PSTOREFS_MAGIC,      BPF_FS_MAGIC,   ConfigFsMagic,      MessageQueueMagic,
        HUGETLBFS_MAGIC,     BINFMTFS_MAGIC, EFIVARFS_MAGIC,     FuseControlMagic,
        SELINUX_MAGIC,       SMACK_MAGIC,    NSFS_MAGIC};
    return virtualTypes.count(static_cast<unsigned long>(system.f_type)) > 0;
}

#endif

class TreeLister
{
public:
    TreeLister(const QString& root, const ListingRules& rules) : rules(rules)
    {
        tree = QDir(root).canonicalPath();
        if (!tree.endsWith(QLatin1Char('/')))
            tree += QLatin1Char('/');
    }

    // outside: path was reached through a link out of the tree.
    void List(const QString& path, bool outside)
    {
        if (listing.stopped || (rules.stop && rules.stop())) {
            listing.stopped = true;
            return;
        }
        const QDir folder(path);
#ifndef Q_OS_WIN
        const QByteArray encoded = QFile::encodeName(path);
        struct stat status;
        if (stat(encoded.constData(), &status) != 0) {
            // Its parent listed it, but a path too long for the system is named, where one that
            // vanished meanwhile is not.
            if (errno == ENAMETOOLONG)
                NoteUnlisted(path, listing.unlisted);
            return;
        }
        const auto identity = std::make_pair(static_cast<unsigned long long>(status.st_dev),
                                             static_cast<unsigned long long>(status.st_ino));
#else
        const QString identity = folder.canonicalPath();
        if (identity.isEmpty())
            return;
#endif
        if (!seen.insert(identity).second)
            return;
#ifndef Q_OS_WIN
        if (IsVirtualFileSystem(encoded)) {
            listing.leftOut.append(
                {QDir::toNativeSeparators(path), LeftOutFolder::Why::VirtualFileSystem});
            return;
        }
#endif
        NoteUnlisted(path, listing.unlisted);
        listing.folders.append(path);
        for (const QFileInfo& file :
             folder.entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::NoSort))
            if (!rules.keep || rules.keep(file))
                listing.files.append(file);
        const QFileInfoList subfolders =
            folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
        for (const QFileInfo& subfolder : subfolders) {
            const QString subpath = subfolder.absoluteFilePath();
            const bool leaves = subfolder.isSymLink() && LeadsOutside(subfolder);
            if (leaves && !rules.followOutsideLinks) {
                listing.leftOut.append(
                    {QDir::toNativeSeparators(subpath), LeftOutFolder::Why::OutsideSource});
                continue;
            }
            if (leaves && !outside)
                listing.outsideLinks.append(subpath);
            List(subpath, outside || leaves);
        }
    }

    TreeListing listing;

private:
    bool LeadsOutside(const QFileInfo& link) const
    {
        const QString target = link.canonicalFilePath();
        return !target.isEmpty() && !(target + QLatin1Char('/')).startsWith(tree);
    }

    const ListingRules& rules;
    QString tree; // the tree's canonical path, ending in "/"
#ifndef Q_OS_WIN
    std::set<std::pair<unsigned long long, unsigned long long>> seen; // device and inode
#else
    std::set<QString> seen;
#endif
};

} // namespace

TreeListing ListTree(const QString& path, const ListingRules& rules)
{
    TreeLister lister(path, rules);
    lister.List(path, false);
    return lister.listing;
}

QFileInfoList GetFileInfoList(const QString& path, QStringList* unlisted, QStringList* folders)
{
    TreeListing listing = ListTree(path);
    if (unlisted)
        *unlisted += listing.unlisted;
    if (folders)
        *folders += listing.folders;
    return listing.files;
}

bool IsWorkbookPath(const QFileInfo& entry)
{
    return HasWorkbookName(entry.filePath());
}

QString LeftOutReason(LeftOutFolder::Why why)
{
    switch (why) {
    case LeftOutFolder::Why::OutsideSource:
        break;
    case LeftOutFolder::Why::VirtualFileSystem:
        return QCoreApplication::translate("FailureReasons", "虚拟文件系统，不列出");
    }
    return QCoreApplication::translate("FailureReasons", "链接指向源文件夹之外");
}
