#pragma once

// The automation object that a run drives: ActiveQt's QAxObject on Windows, where COM reaches
// Excel or WPS; elsewhere our own object, answered by LibreOffice. Both take the same calls.

#include "convert/failurereasons.h"
#include "convert/runoptions.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QAxObject>
using AutomationObject = QAxObject;
// Excel is COM's to release when the program ends: nothing to end here.
inline bool EndSpreadsheetApplicationsNow()
{
    return false;
}
// Excel driven through automation writes no PDF/A: the command line refuses it before a run.
inline void UsePdfKind(PdfKind) {}
// What an exception() tells of a failure. COM's code says only that the member failed; Excel's
// or WPS's message (desc) is the whole reason.
inline ReportedFailure FailureOfException(int, const QString& desc, const QString&)
{
    return {desc.isEmpty() ? FailureKind::None : FailureKind::Reported, desc, 0};
}
#else
#include "automation/automationobject.h"
// For the applications bound from now on.
inline void UsePdfKind(PdfKind kind)
{
    AutomationObject::setArchivalPdf(kind == PdfKind::Archival);
}
// What an exception() tells of a failure: code is its kind, desc the server's message, help the
// limit in seconds of a call that got no answer.
inline ReportedFailure FailureOfException(int code, const QString& desc, const QString& help)
{
    const auto kind = static_cast<FailureKind>(code);
    return {kind, desc, kind == FailureKind::NoAnswer ? help.toDouble() : 0};
}
#endif
