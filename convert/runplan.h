#pragma once

#include "convert/runrecord.h"
#include "convert/runsettings.h"
#include "convert/shard.h"
#include "convert/workbookdiscovery.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One workbook of a run and where its PDFs go.
struct WorkbookTask
{
    QString path;     // native form
    QString folder;   // the folder of its PDFs, "/" separators
    QString baseName; // of its PDFs
    // Its name group (NameGroupFirsts()): the workbooks whose PDF names may depend on each other
    // share it.
    int nameGroup = -1;
};

// What a run's plan found.
struct RunPlan
{
    // In list order, with their PDF folders and base names.
    QList<WorkbookTask> tasks;
    // What could not be listed, one failure line each, with the workbooks that links outside the
    // tree lead to when their PDFs would go beside them.
    QStringList unlisted;
    // The workbooks that the plan's leaveOut told to leave out.
    QStringList leftOut;
    // The folders the listing did not enter.
    QList<LeftOutFolder> foldersLeftOut;
};

// The workbooks of shard of a run from the run settings, listed by rules, their PDF folders and
// base names decided from the whole list before any export, so that they never depend on the
// order of the work or on the share. A workbook that leaveOut (when given) tells to leave out is
// left out, its name still counting for the PDF names of the others, unless another workbook of
// its name group is converted: then it is converted with it.
RunPlan PlanRun(const RunSettings& settings, const Shard& shard, const ListingRules& rules,
                const std::function<bool(const QString& workbookPath)>& leaveOut);

// A fresh record of a run of these tasks, with the run settings and its start time; each task's
// workbook not reached yet, and after them the workbooks left out as up to date.
RunRecord BeginRecord(const RunSettings& settings, const QList<WorkbookTask>& tasks,
                      const QStringList& unlisted, int jobs,
                      const QStringList& upToDate = QStringList());
