#pragma once

#include "convert/reportedfailure.h"

#include <QString>

// A failure's reason in the user's language, and the spreadsheet application's own message
// behind it, for the report.
struct ExplainedReason
{
    QString reason;
    QString detail; // the application's message; empty when the reason is our own
};

// The plain reason of a kind (the name is too long, the folder cannot be written, the disk is
// full, the file is in use, …); for the kinds of an exceeded limit with that limit; for Reported
// "the application reported an error".
QString ReasonOf(FailureKind kind, double limit = 0);

// The reason of a failure's kind, with its message kept as detail. A Reported message that is
// already in the user's language is the reason itself.
ExplainedReason Explain(const ReportedFailure& failure);
