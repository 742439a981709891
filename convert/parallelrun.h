#pragma once

#include "convert/runrecord.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

// The run of MergeObject with several spreadsheet applications at once, for the command line:
// jobs application objects, each bound to "Excel.Application" in a thread of its own, take the
// next workbook of the one list; a workbook is handled whole by one of them, with the calls the
// serial run makes. The texts are the serial run's: "excel OK!" and "WorkBooks OK!" once, each
// workbook's path as its conversion starts, one summary with the failures in list order. PDF
// names are decided from the list before any export, so they never depend on the timing. A
// failing or hanging application costs only its own workbook.
class ParallelRun : public QObject
{
    Q_OBJECT

public:
    explicit ParallelRun(int jobs, QObject* parent = nullptr);

    // Asks every application to stop after its workbook in work; safe from any thread.
    void RequestStop();

    const RunRecord& Record() const { return record; }
    QStringList Failures() const { return record.FailureLines(); }
    int NotConverted() const { return record.NotConverted(); }

    void SetWorkbookDoneHook(WorkbookDoneHook hook) { workbookDone = std::move(hook); }

signals:
    void Signal_SetButtonEnable();
    void ShowDisposingFile(QString filePath);

public slots:
    void Transform();

private:
    int jobs;
    RunRecord record;
    WorkbookDoneHook workbookDone;
    std::atomic<bool> stopRequested{false};
};
