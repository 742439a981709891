#include "convert/outputpaths.h"

#include <QDir>
#include <QFileInfo>

QString OutputFolder(const QString& workbookPath, const QString& sourceFolder,
                     const QString& saveFolder, bool besideSource)
{
    const QString workbookFolder = QFileInfo(workbookPath).path();
    if (besideSource)
        return workbookFolder;
    const QString relative = QDir(sourceFolder).relativeFilePath(workbookFolder);
    return QDir::cleanPath(QDir::fromNativeSeparators(saveFolder) + '/' + relative);
}

QString PdfPath(const QString& folder, const QString& baseName, const QString& sheetName)
{
    const QString name = sheetName.isNull() ? baseName : baseName + '(' + sheetName + ')';
    return QDir::toNativeSeparators(folder + '/') + name + ".pdf";
}
