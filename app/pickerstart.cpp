#include "app/pickerstart.h"

#include <QDir>
#include <QFileInfo>

QString PickerStartFolder(const QString& folder)
{
    if (folder.trimmed().isEmpty())
        return QDir::homePath();
    QDir candidate(
        QDir::cleanPath(QDir::current().absoluteFilePath(QDir::fromNativeSeparators(folder))));
    // A file in the way counts as missing: the picker shows folders.
    while (!QFileInfo(candidate.path()).isDir() && !candidate.isRoot())
        candidate.setPath(QFileInfo(candidate.path()).path());
    return candidate.path();
}
