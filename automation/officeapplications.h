#pragma once

// The program's spreadsheet applications on Linux, each a private LibreOffice server: what the
// window and the command line make once as they start and hand to their runs.

#include "convert/spreadsheetapplications.h"

#include <memory>

std::unique_ptr<SpreadsheetApplications>
NewSpreadsheetApplications(const ApplicationOptions& options);
