#pragma once

#include "convert/conversionrun.h"
#include "convert/updatestate.h"

#include <QHash>
#include <QString>

#include <functional>

// The command line's watched folder: one spreadsheet application, bound once and kept between
// batches, converts what the options' upToDate does not leave out, then keeps watching
// the source folder and converts each workbook that appears or changes once it has stayed the
// same for StableMs, so that a file still being copied is never opened; one told closed after
// writing or moved in (see TreeChanges) once it has stayed the same for SettleMs. Each batch's
// texts are the serial run's ("excel OK!" and "WorkBooks OK!" only at the start), with a summary
// per batch, which tells that batch's failures. Removed workbooks leave their PDFs alone.
// Record() holds what became of each workbook in the end, its last attempt: one that failed and
// then converted is no failure there. Once stopped, the workbooks seen changed but not converted
// are in it as not reached.
class WatchRun : public ConversionRun
{
    Q_OBJECT

public:
    static constexpr int StableMs = 2000;
    // The writers tried (cp then touch, cp -p, install, tar, rsync, a save through a temporary
    // name) change a file at most 4 ms after closing it; this leaves room for a loaded machine.
    static constexpr int SettleMs = 300;

    // Runs until RequestStop(), with one application whatever options.jobs says.
    WatchRun(SpreadsheetApplications& applications, RunOptions options, QObject* parent = nullptr);

    // Told of each batch as it ends, with the versions of its workbooks that it converted.
    using BatchDoneHook =
        std::function<void(const RunRecord& batch, const QHash<QString, FileVersion>& versions)>;
    void SetBatchDoneHook(BatchDoneHook hook) { batchDone = std::move(hook); }

protected:
    void Convert() override;

private:
    BatchDoneHook batchDone;
};
