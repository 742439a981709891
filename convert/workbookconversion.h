#pragma once

#include "convert/runplan.h"
#include "convert/runrecord.h"
#include "convert/spreadsheetapplication.h"

#include <functional>

// The run's failure line when no application answered, from the failure its binding gave
// (kind None when it gave no reason).
QString NoApplicationLine(const ReportedFailure& failure);

// Converts one workbook through an application: opens it, creates its
// PDF folder, exports each visible, non-blank worksheet to a PDF of its own (or, with
// mergeSheets, the whole workbook to one PDF) and closes it unsaved. Each PDF's file name is
// taken from pdfName, given its stem ("base(sheet)", or the base). What became of it goes into
// record, whose path the caller has set.
void ConvertWorkbook(SpreadsheetApplication& application, const WorkbookTask& task,
                     bool mergeSheets, const std::function<QString(const QString& stem)>& pdfName,
                     WorkbookRecord& record);
