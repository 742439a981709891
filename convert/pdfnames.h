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

// For each workbook (its PDF folder and base name, in list order), the first one of its name
// group: the workbooks of one folder whose PDF names could ever be the same, on any file system.
// A PDF name is the base, then "(sheet)" or ".pdf", so two different bases can make one name only
// when one of them is the other followed by "(…" (compared without case): the group's first is
// the workbook with the shortest base that each of the group's bases so extends. Most workbooks
// are their own.
QList<int> NameGroupFirsts(const QStringList& folders, const QStringList& baseNames);

// True when a file of that name fits the file system of folder.
bool FitsFileSystem(const QString& folder, const QString& fileName);
