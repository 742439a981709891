#pragma once

#include <QString>

// The folder (with "/" separators) that receives the PDFs of the workbook at workbookPath: the
// workbook's own folder when besideSource is set; otherwise the workbook's folder relative to
// sourceFolder, below saveFolder, so that the source tree repeats below the output folder
// however the two folder texts end.
QString OutputFolder(const QString& workbookPath, const QString& sourceFolder,
                     const QString& saveFolder, bool besideSource);

// The PDF path in native form: the folder, a separator, then the workbook's base name (its file
// name without the last suffix) and, for one sheet, "(" + sheet name + ")", then ".pdf".
QString PdfPath(const QString& folder, const QString& baseName, const QString& sheetName = {});
