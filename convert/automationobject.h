#pragma once

// The automation object that a run drives: ActiveQt's QAxObject on Windows, where COM reaches
// Excel or WPS; elsewhere our own object, answered by LibreOffice. Both take the same calls.

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
#else
#include "automation/automationobject.h"
// For the applications bound from now on.
inline void UsePdfKind(PdfKind kind)
{
    AutomationObject::setArchivalPdf(kind == PdfKind::Archival);
}
#endif
