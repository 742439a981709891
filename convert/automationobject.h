#pragma once

// The automation object that ExcelApplication drives: ActiveQt's QAxObject on Windows, where COM
// reaches Excel or WPS; elsewhere our own object, answered by LibreOffice. Both take the same
// calls.

#include "convert/failurereasons.h"
#include "convert/runoptions.h"

#include <QStringList>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QAxObject>
using AutomationObject = QAxObject;
// Excel is COM's to release when the program ends: nothing to end here.
inline bool EndSpreadsheetApplicationsNow()
{
    return false;
}
// Excel or WPS is the desktop's own application, not ours to kill: a stopped run waits for its
// workbook.
inline bool StopSpreadsheetApplicationsNow()
{
    return false;
}
inline void AllowSpreadsheetApplications() {}
// Excel writes no PDF/A when driven through automation (the command line refuses it before a
// run), and it is the desktop's own application: no sandbox, no limits of ours.
inline void ConfigureApplications(const RunOptions&, const QStringList&, const QStringList&) {}
// What an exception() tells of a failure. COM's code says only that the member failed; Excel's
// or WPS's message (desc) is the whole reason.
inline ReportedFailure FailureOfException(int, const QString& desc, const QString&)
{
    return {desc.isEmpty() ? FailureKind::None : FailureKind::Reported, desc, 0};
}
#else
#include "automation/automationobject.h"
// For the applications bound from now on: the kind of PDF, the sandbox with the folders that the
// office may read and write, the limits of one workbook and the region's paper.
inline void ConfigureApplications(const RunOptions& options, const QStringList& readable,
                                  const QStringList& writable)
{
    AutomationObject::setArchivalPdf(options.pdf == PdfKind::Archival);
    AutomationObject::setSandbox(options.sandbox, readable, writable);
    AutomationObject::setWorkbookLimits(options.maxMemoryGB, options.workbookLimit, options.jobs);
    AutomationObject::setRegionPaper(options.regionPaper);
}
// What an exception() tells of a failure: code is its kind, desc the server's message, help the
// limit that was exceeded, if any.
inline ReportedFailure FailureOfException(int code, const QString& desc, const QString& help)
{
    return {static_cast<FailureKind>(code), desc, help.toDouble()};
}
#endif
