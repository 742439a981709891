#pragma once

// How the server opens workbooks: hidden (a headless office crashes otherwise), read-only (never
// a lock file, never a save), with macros off and links not updated, never waiting for a person;
// and which files it refuses, as Excel refuses them, once the office has seen them
// (automation/loadrefusal.h refuses before).

#include "convert/reportedfailure.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QString>

// Loads a workbook; null, with the reason in refusal, when the office cannot open it (the
// office's message, if it gave one, kept in refusal's) or only its plain-text import would read
// it. Other exceptions of the office pass.
css::uno::Reference<css::sheet::XSpreadsheetDocument>
LoadWorkbook(const css::uno::Reference<css::frame::XDesktop2>& desktop, const QString& path,
             ReportedFailure& refusal);
