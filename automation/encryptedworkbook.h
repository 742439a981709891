#pragma once

#include <QString>

#include <string>

// Whether a workbook is locked with a password to open, read from its bytes where the office
// only says it cannot load it: an OLE compound file holding an encrypted package (an encrypted
// .xlsx) or a workbook stream whose globals carry a FILEPASS record (an encrypted .xls). Any
// input is safe: what is not such a file, or is damaged, is simply not encrypted.
bool IsEncryptedWorkbook(const std::string& bytes);

// The same for a file; false when it cannot be read. Only the file's first bytes are read (a
// compound file's directory and workbook globals lie far inside any cap a workbook reaches).
bool IsEncryptedWorkbookFile(const QString& path);
