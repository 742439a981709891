#pragma once

#include <QList>
#include <QtGlobal>

// How many applications a run starts for workbooks of these sizes (in bytes), with at most jobs:
// none without workbooks, else the first, and each further one only when it pays, that is when
// every application then has at least one workbook and, by estimate, work for at least the CPU
// time that an application's start costs (StartSeconds). A workbook's work is estimated at
// SecondsPerWorkbook plus SecondsPerMegabyte per MB of file: measured on this project's benchmark
// workbooks and the corpus, a second office pays from about ten small workbooks on, and already
// for two large ones.
namespace ApplicationCosts {
constexpr double StartSeconds = 0.35;
constexpr double SecondsPerWorkbook = 0.07;
constexpr double SecondsPerMegabyte = 1.0;
} // namespace ApplicationCosts

// A workbook's estimated work in seconds, from its size in bytes.
double EstimatedWork(qint64 workbookBytes);

int ApplicationsWorthStarting(const QList<qint64>& workbookBytes, int jobs);
