#include "convert/workbookdiscovery.h"

#include <QDir>
#include <QSet>

namespace {

// ancestors: canonical paths of the folders from the source folder down to this one.
void ListFolder(const QString& path, QSet<QString>& ancestors, QFileInfoList& result)
{
    const QDir folder(path);
    const QString canonical = folder.canonicalPath();
    if (canonical.isEmpty() || ancestors.contains(canonical))
        return;
    ancestors.insert(canonical);
    result += folder.entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::NoSort);
    const QFileInfoList subfolders =
        folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& subfolder : subfolders)
        ListFolder(subfolder.absoluteFilePath(), ancestors, result);
    ancestors.remove(canonical);
}

} // namespace

QFileInfoList GetFileInfoList(const QString& path)
{
    QFileInfoList result;
    QSet<QString> ancestors;
    ListFolder(path, ancestors, result);
    return result;
}

bool IsWorkbookPath(const QFileInfo& entry)
{
    const QString key = QDir::toNativeSeparators(entry.filePath()).toLower();
    const bool workbookSuffix = key.endsWith(QLatin1String(".xls")) ||
                                key.endsWith(QLatin1String(".xlsx")) ||
                                key.endsWith(QLatin1String(".xlsm"));
    return workbookSuffix && !key.contains(QLatin1String("~$"));
}
