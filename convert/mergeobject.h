#pragma once

#include "convert/runrecord.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

// One conversion run per Transform(): lists the workbooks below the source folder, opens each
// in the spreadsheet application and exports its non-blank worksheets (or the whole workbook) as
// PDF, reporting each step through ShowDisposingFile. Lives in a worker thread of its own.
class MergeObject : public QObject
{
    Q_OBJECT

public:
    explicit MergeObject(QObject* parent = nullptr);

    // Asks a run in progress to stop after the workbook in work; safe from any thread.
    void RequestStop();

    // What the last run did; read it once the run has ended.
    const RunRecord& Record() const { return record; }
    // What failed in the last run, one line each ("file: reason" or "file(sheet): reason").
    QStringList Failures() const { return record.FailureLines(); }
    // How many workbooks of the last run's list were never reached because it was stopped.
    int NotConverted() const { return record.NotConverted(); }

    void SetWorkbookDoneHook(WorkbookDoneHook hook) { workbookDone = std::move(hook); }

signals:
    void Signal_SetButtonEnable();
    void ShowDisposingFile(QString filePath);

public slots:
    void Transform();

private:
    RunRecord record;
    WorkbookDoneHook workbookDone;
    std::atomic<bool> stopRequested{false};
};
