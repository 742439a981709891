#include "convert/lefttemporarypdfs.h"

#ifndef Q_OS_WIN
#include "automation/leftovers.h"

#include <QFile>
#include <QSet>
#endif

int RemoveLeftTemporaryPdfs(const QList<WorkbookTask>& tasks)
{
#ifdef Q_OS_WIN
    Q_UNUSED(tasks);
    return 0;
#else
    int removed = 0;
    QSet<QString> swept;
    for (const WorkbookTask& task : tasks) {
        if (swept.contains(task.folder))
            continue;
        swept.insert(task.folder);
        removed += RemoveTemporaryPdfsOfEndedRuns(QFile::encodeName(task.folder).toStdString());
    }
    return removed;
#endif
}
