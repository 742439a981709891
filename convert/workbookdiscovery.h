#pragma once

#include <QFileInfo>
#include <QFileInfoList>
#include <QString>

// Every file below path, depth first: a folder's own files (hidden ones included, links to files
// left out) in the file system's order, then each subfolder's whole subtree in turn (hidden
// folders left out, links to folders followed, but never back into a folder of the current
// path). What cannot be read is missing from the result.
QFileInfoList GetFileInfoList(const QString& path);

// True for an entry to convert: its lowered native path ends with ".xls", ".xlsx" or ".xlsm" and
// holds no "~$" (Office's lock files) anywhere.
bool IsWorkbookPath(const QFileInfo& entry);
