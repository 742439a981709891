#pragma once

#include "convert/automationobject.h"
#include "convert/runplan.h"
#include "convert/runrecord.h"

#include <functional>

// Binds application to "Excel.Application", keeps it hidden and its alerts off, and asks it for
// its workbooks collection, as every run begins: null when no application answered, and then
// failure says why in the user's words, by the failure's kind (empty when the application
// reported none).
AutomationObject* OpenWorkbooks(AutomationObject& application, ReportedFailure& failure);

// The run's failure line when no application answered, from what OpenWorkbooks() gave.
QString NoApplicationLine(const ReportedFailure& failure);

// Converts one workbook through an application's workbooks collection: opens it, creates its
// PDF folder, exports each visible, non-blank worksheet to a PDF of its own (or, with
// mergeSheets, the whole workbook to one PDF) and closes it unsaved. Each PDF's file name is
// taken from pdfName, given its stem ("base(sheet)", or the base). What became of it goes into
// record, whose path the caller has set.
void ConvertWorkbook(AutomationObject* workbooks, const WorkbookTask& task, bool mergeSheets,
                     const std::function<QString(const QString& stem)>& pdfName,
                     WorkbookRecord& record);
