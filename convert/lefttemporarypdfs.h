#pragma once

#include "convert/runplan.h"

#include <QList>

// Removes, once from each existing folder the tasks write PDFs into, the temporary PDFs that
// killed runs left there, before any export into it; returns how many. Folders the run has yet
// to make hold none. None on Windows, where Excel writes its PDFs without a temporary file.
int RemoveLeftTemporaryPdfs(const QList<WorkbookTask>& tasks);
