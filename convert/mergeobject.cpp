#include "convert/mergeobject.h"

#include "convert/automationobject.h"
#include "convert/platformtexts.h"
#include "convert/runplan.h"
#include "convert/runsettings.h"
#include "convert/visibletext.h"
#include "convert/workbookconversion.h"

#ifdef Q_OS_WIN
#include <objbase.h>
#endif

MergeObject::MergeObject(QObject* parent) : QObject(parent) {}

void MergeObject::RequestStop()
{
    stopRequested = true;
}

void MergeObject::Transform()
{
    QStringList unlisted, upToDate;
    const QList<WorkbookTask> tasks = PlanRun(RunUpToDate, unlisted, upToDate);
    record = BeginRecord(tasks, unlisted, 1, upToDate);
#ifdef Q_OS_WIN
    CoInitializeEx(nullptr, 0);
#endif
    auto* excel = new AutomationObject(this);
    emit ShowDisposingFile(QStringLiteral("excel OK!"));
    QString bindFailure;
    AutomationObject* workbooks = OpenWorkbooks(*excel, bindFailure);
    emit ShowDisposingFile(QStringLiteral("WorkBooks OK!"));

    if (!workbooks) {
        record.runFailures << NoApplicationLine(bindFailure);
        emit ShowDisposingFile(NoOfficeMessage());
    } else {
        for (int i = 0; i < tasks.size(); ++i) {
            if (stopRequested) {
                record.stopped = true;
                break;
            }
            emit ShowDisposingFile(VisibleText(tasks[i].path));
            ConvertWorkbook(workbooks, tasks[i], MergeSheets, record.workbooks[i]);
            if (workbookDone)
                workbookDone(record.workbooks[i]);
        }
        emit ShowDisposingFile(record.Summary());
    }
    excel->dynamicCall("Quit(void)");
    delete excel;
    record.ended = QDateTime::currentDateTime();
    emit Signal_SetButtonEnable();
}
