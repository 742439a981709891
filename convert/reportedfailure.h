#pragma once

#include "support/failurekind.h"

#include <QString>

// A failure that the spreadsheet application reported: its kind, its message, and the limit that
// was exceeded (seconds for NoAnswer and WorkbookTooLong, GB for MemoryExceeded). The one form of
// a failure from where the application finds it to the run's record: the Linux server classifies
// its failures in it too.
struct ReportedFailure
{
    FailureKind kind = FailureKind::None;
    QString message;
    double limit = 0;
};
