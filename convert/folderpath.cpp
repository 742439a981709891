#include "convert/folderpath.h"

#include "support/makefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool MakeFolderPath(const QString& folder, QString& error)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
#ifdef Q_OS_WIN
    const int failure = MakeFolder(path.toUtf8().toStdString());
#else
    const int failure = MakeFolder(QFile::encodeName(path).toStdString());
#endif
    if (failure != 0)
        error = qt_error_string(failure);
    return failure == 0;
}
