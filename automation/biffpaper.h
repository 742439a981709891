#pragma once

#include "automation/storedpaper.h"

#include <QString>

#include <map>
#include <string>

// What each sheet of a BIFF5 or BIFF8 workbook stream (an .xls file's "Workbook" or "Book")
// stores of its paper, by the sheet's name: from its SETUP record, none where it has no such
// record or the record says it holds no printer settings. Sheets whose substream cannot be
// read are left out.
std::map<QString, StoredPaper> SheetPapersOfBiff(const std::string& stream);

// The same for an .xls file, read up to 64 MB; none for any other file.
std::map<QString, StoredPaper> SheetPapersOfXlsFile(const QString& path);
