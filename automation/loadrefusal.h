#pragma once

#include "convert/reportedfailure.h"

#include <QString>

// Why a file is refused before the office sees it: its path is too long, it does not exist, it
// is empty (the office would open it as a new workbook), or this user may not read it (the
// office would only say it cannot open it). Kind None when it may be loaded.
ReportedFailure RefusalBeforeLoading(const QString& path);
