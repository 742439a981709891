#include "convert/workbookdiscovery.h"

#include "convert/visibletext.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

#ifndef Q_OS_WIN
#include <QFile>

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#endif

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

// ancestors: canonical paths of the folders from the source folder down to this one.
void ListFolder(const QString& path, QSet<QString>& ancestors, QFileInfoList& result,
                QStringList* unlisted, QStringList* folders)
{
    const QDir folder(path);
    const QString canonical = folder.canonicalPath();
#ifndef Q_OS_WIN
    // Its parent listed it, but a path too long for the system has no canonical form: it is
    // named, where one that vanished meanwhile is not.
    if (canonical.isEmpty() && unlisted &&
        QFile::encodeName(folder.absolutePath()).size() >= PATH_MAX) {
        NoteUnlisted(path, *unlisted);
        return;
    }
#endif
    if (canonical.isEmpty() || ancestors.contains(canonical))
        return;
    if (unlisted)
        NoteUnlisted(path, *unlisted);
    ancestors.insert(canonical);
    if (folders)
        folders->append(path);
    result += folder.entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::NoSort);
    const QFileInfoList subfolders =
        folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& subfolder : subfolders)
        ListFolder(subfolder.absoluteFilePath(), ancestors, result, unlisted, folders);
    ancestors.remove(canonical);
}

} // namespace

QFileInfoList GetFileInfoList(const QString& path, QStringList* unlisted, QStringList* folders)
{
    QFileInfoList result;
    QSet<QString> ancestors;
    ListFolder(path, ancestors, result, unlisted, folders);
    return result;
}

bool IsWorkbookPath(const QFileInfo& entry)
{
    return HasWorkbookName(entry.filePath());
}
