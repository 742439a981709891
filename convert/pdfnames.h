#pragma once

#include <QFileInfoList>
#include <QString>
#include <QStringList>

// How the PDFs of a run are named, so that each lands in the folder the run computed for its
// workbook and none written in a run is overwritten later in the same run.

// The name with every character that cannot stand in one file name on this platform replaced by
// "_" (Linux: "/" and control characters; Windows also \ : * ? " < > |). A safe name is returned
// unchanged.
QString SafeFileName(const QString& name);

// File names as this platform's file system compares them: case-insensitive on Windows.
QString FileNameKey(const QString& name);

// The base name of each workbook's PDFs, in the list's order, decided before any export: the
// first workbook of a folder with a given base name (its file name without the last suffix)
// keeps it; each later one (a.xls, then a.xlsx) takes its whole file name as base.
QStringList PdfBaseNames(const QFileInfoList& workbooks);

// What every PDF name made from this base name begins with: its text before the first "(" or
// ".", case-folded. A PDF name is the base, then "(sheet)" or ".pdf", so two workbooks of one
// folder whose PDF names could ever be the same, on any file system, share it; so do
// same-base-name workbooks, whose later ones take their whole file name as base.
QString NameGroupKey(const QString& baseName);

// True when a file of that name fits the file system of folder.
bool FitsFileSystem(const QString& folder, const QString& fileName);
