#include "convert/folderpath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_WIN
#include <direct.h>
#else
#include <sys/stat.h>
#endif

bool MakeFolderPath(const QString& folder, QString& error)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent != path && !MakeFolderPath(parent, error))
        return false;
#ifdef Q_OS_WIN
    const int made =
        _wmkdir(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()));
#else
    const int made = mkdir(QFile::encodeName(path).constData(), 0777);
#endif
    // Another process may have made it meanwhile; a file of that name is no folder.
    if (made == 0 || (errno == EEXIST && QFileInfo(path).isDir()))
        return true;
    error = qt_error_string(errno == EEXIST ? ENOTDIR : errno);
    return false;
}
