#pragma once

#include "convert/runrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// One workbook of a run and where its PDFs go.
struct WorkbookTask
{
    QString path;     // native form
    QString folder;   // the folder of its PDFs, "/" separators
    QString baseName; // of its PDFs
};

// The workbooks of a run from the run settings, in list order, with their PDF folders and base
// names decided before any export, so that they never depend on the order of the work. What
// could not be listed goes to unlisted, one failure line each.
QList<WorkbookTask> PlanRun(QStringList& unlisted);

// A fresh record of a run of these tasks, with the run settings and its start time; each task's
// workbook not reached yet.
RunRecord BeginRecord(const QList<WorkbookTask>& tasks, const QStringList& unlisted, int jobs);
