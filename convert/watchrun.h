#pragma once

#include "convert/runrecord.h"
#include "convert/updatestate.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

// The command line's watched folder: one spreadsheet application, bound once and kept between
// batches, converts what the run settings' RunUpToDate does not leave out, then keeps watching
// the source folder and converts each workbook that appears or changes once it has stayed the
// same for StableMs, so that a file still being copied is never opened. Each batch's texts are
// the serial run's ("excel OK!" and "WorkBooks OK!" only at the start), with a summary per
// batch. Removed workbooks leave their PDFs alone. Record() holds every batch; once stopped,
// the workbooks seen changed but not converted are in it as not reached.
class WatchRun : public QObject
{
    Q_OBJECT

public:
    static constexpr int PollMs = 1000;
    static constexpr int StableMs = 2000;

    explicit WatchRun(QObject* parent = nullptr);

    // Ends the watch after the workbook in work; safe from any thread.
    void RequestStop();

    const RunRecord& Record() const { return record; }

    void SetWorkbookDoneHook(WorkbookDoneHook hook) { workbookDone = std::move(hook); }
    // Told of each batch as it ends, with the versions of its workbooks that it converted.
    using BatchDoneHook =
        std::function<void(const RunRecord& batch, const QHash<QString, FileVersion>& versions)>;
    void SetBatchDoneHook(BatchDoneHook hook) { batchDone = std::move(hook); }

signals:
    void ShowDisposingFile(QString filePath);

public slots:
    // Runs until RequestStop().
    void Transform();

private:
    RunRecord record;
    WorkbookDoneHook workbookDone;
    BatchDoneHook batchDone;
    std::atomic<bool> stopRequested{false};
};
