#pragma once

#include <QString>

// The folder (with "/" separators) that receives the PDFs of the workbook at workbookPath: the
// workbook's own folder when besideSource is set; otherwise the workbook's folder relative to
// sourceFolder, below saveFolder, so that the source tree repeats below the output folder
// however the two folder texts end. Relative texts count from the current folder.
QString OutputFolder(const QString& workbookPath, const QString& sourceFolder,
                     const QString& saveFolder, bool besideSource);

// The PDF's path in native form: the folder, a separator, the file name.
QString PdfPath(const QString& folder, const QString& fileName);
