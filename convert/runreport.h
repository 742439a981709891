#pragma once

#include "convert/runrecord.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// Reports of a run, written from its record.

// A readable text of the whole run: its settings and times, the summary, every failure with the
// application's own message, and each workbook with its PDFs and skipped sheets.
QString TextReport(const RunRecord& record);

// The run as JSON (see README, "The report"): settings, times, totals and one entry per workbook
// in list order.
QJsonObject JsonReport(const RunRecord& record);

// Writes bytes to path atomically (a report, or what an update run keeps): readers see the old
// file or the whole new one. False, with a reason, when it cannot.
bool WriteReportFile(const QString& path, const QByteArray& bytes, QString& error);
