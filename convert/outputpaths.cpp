#include "convert/outputpaths.h"

#include <QDir>
#include <QFileInfo>

QString OutputFolder(const QString& workbookPath, const QString& sourceFolder,
                     const QString& saveFolder, bool besideSource)
{
    const QString workbookFolder = QFileInfo(workbookPath).absolutePath();
    if (besideSource)
        return workbookFolder;
    const QString relative =
        QDir(QFileInfo(sourceFolder).absoluteFilePath()).relativeFilePath(workbookFolder);
    return QDir::cleanPath(QFileInfo(saveFolder).absoluteFilePath() + '/' + relative);
}

QString PdfPath(const QString& folder, const QString& fileName)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(fileName));
}
