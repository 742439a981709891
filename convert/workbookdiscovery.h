#pragma once

#include <QFileInfo>
#include <QFileInfoList>
#include <QString>
#include <QStringList>

// Every file below path, depth first: a folder's own files (hidden ones included, links to files
// left out) in the file system's order, then each subfolder's whole subtree in turn (hidden
// folders left out, links to folders followed, but never back into a folder of the current
// path). What cannot be listed (a folder that cannot be read, a folder or workbook whose name is
// not valid text in this system's encoding) is missing from the result; with unlisted given, it
// gets one failure line each ("path: reason"). With folders given, it gets the path of each
// folder listed, path first.
QFileInfoList GetFileInfoList(const QString& path, QStringList* unlisted = nullptr,
                              QStringList* folders = nullptr);

// True for an entry to convert: its lowered native path ends with ".xls", ".xlsx" or ".xlsm" and
// holds no "~$" (Office's lock files) anywhere.
bool IsWorkbookPath(const QFileInfo& entry);
