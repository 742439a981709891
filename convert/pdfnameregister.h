#pragma once

#include "convert/runplan.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVector>

#include <condition_variable>
#include <mutex>

// The PDF names a run takes across its workbooks, so that no two PDFs of it share a path whatever
// the sheet names: a name an earlier workbook of the list took (as the output folder's file
// system compares names) goes to the later one with " (2)", " (3)"… before ".pdf". Only
// workbooks of one name group (NameGroupFirsts()) can want one name, so a workbook waits only for
// the earlier ones of its group, which keeps names in list order whichever application takes
// which workbook. Safe from the applications' threads.
class PdfNameRegister
{
public:
    // The workbooks of a run (or of a watch's batch), in list order.
    explicit PdfNameRegister(const QList<WorkbookTask>& tasks);

    // Waits until each earlier workbook of task's group has ended, so that its names are taken.
    void Begin(const WorkbookTask& task);
    // The PDF file name for this stem of task (e.g. "sales(Sheet1)"), now taken.
    QString Take(const WorkbookTask& task, const QString& stem);
    // Every name of task is taken: the next workbook of its group may go on.
    void End(const WorkbookTask& task);

private:
    struct Group
    {
        bool ignoresCase = false;
        bool caseKnown = false;
        QSet<QString> taken;
    };
    std::mutex mutex;
    std::condition_variable ended;
    QHash<QString, int> index; // of each task, by path
    QVector<int> earlier;      // per task: the one before it in its group, -1 for none
    QVector<bool> done;        // per task
    QHash<int, Group> groups;
};
