#pragma once

#include "convert/automationobject.h"
#include "convert/runplan.h"
#include "convert/runrecord.h"

// Converts one workbook through an application's workbooks collection: opens it, creates its
// PDF folder, exports each visible, non-blank worksheet to a PDF of its own (or, with
// mergeSheets, the whole workbook to one PDF) and closes it unsaved. What became of it goes into
// record, whose path the caller has set.
void ConvertWorkbook(AutomationObject* workbooks, const WorkbookTask& task, bool mergeSheets,
                     WorkbookRecord& record);
