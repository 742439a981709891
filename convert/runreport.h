#pragma once

#include "convert/runrecord.h"

#include <QJsonObject>
#include <QString>

// Reports of a run, written from its record.

// A readable text of the whole run: its settings and times, the summary, every failure with the
// application's own message, and each workbook with its PDFs and skipped sheets.
QString TextReport(const RunRecord& record);

// The run as JSON (see README, "The report"): settings, times, totals and one entry per workbook
// in list order.
QJsonObject JsonReport(const RunRecord& record);
