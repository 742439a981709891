#include "convert/watchrun.h"

#include "convert/boundapplication.h"
#include "convert/changewatch.h"
#include "convert/treechanges.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSet>

#include <algorithm>

namespace {

RunOptions WithOneApplication(RunOptions options)
{
    options.jobs = 1;
    return options;
}

// The watch tells what became of each workbook in the end: the later attempts at a workbook
// replace its earlier ones.
void ForgetEarlierAttempts(QList<WorkbookRecord>& workbooks, const QStringList& attempted)
{
    QSet<QString> paths;
    for (const QString& path : attempted)
        paths.insert(path);
    workbooks.erase(std::remove_if(workbooks.begin(), workbooks.end(),
                                   [&paths](const WorkbookRecord& workbook) {
                                       return paths.contains(workbook.path);
                                   }),
                    workbooks.end());
}

QStringList PathsOf(const QList<WorkbookRecord>& workbooks)
{
    QStringList paths;
    for (const WorkbookRecord& workbook : workbooks)
        paths << workbook.path;
    return paths;
}

} // namespace

WatchRun::WatchRun(SpreadsheetApplications& applications, RunOptions options, QObject* parent)
    : ConversionRun(applications, WithOneApplication(std::move(options)), parent)
{
}

void WatchRun::Convert()
{
    TellBinding();
    const BoundApplication excel(NewApplication());
    TellBound();
    if (!excel.Application()) {
        record = BeginRecord(settings, {}, {}, 1);
        TellNoApplication(excel.Failure());
        return;
    }

    // Watched from before the first batch is planned, so that no change meanwhile goes unseen.
    TreeChanges tree(QDir::cleanPath(QFileInfo(settings.source).absoluteFilePath()), Listing());
    ChangeWatch watch(StableMs, SettleMs);
    // Converts the tasks, planned from these versions of their workbooks, as one batch, keeping
    // their records in the watch's record.
    const auto convert = [&](const QList<WorkbookTask>& tasks, const RunRecord& batchStart,
                             const QHash<QString, FileVersion>& versions) {
        ForgetEarlierAttempts(record.workbooks, PathsOf(batchStart.workbooks));
        const int first = record.workbooks.size();
        record.workbooks.append(batchStart.workbooks);
        record.runFailures += batchStart.runFailures;
        record.unlisted += batchStart.unlisted;
        record.leftOutFolders += batchStart.leftOutFolders;
        record.removedTemporaryPdfs += batchStart.removedTemporaryPdfs;
        RunRecord batch = batchStart;
        PdfNameRegister names(tasks);
        for (int i = 0; i < tasks.size(); ++i) {
            const WorkbookTask& task = tasks[i];
            // Not reached: recorded as such already, no longer waiting.
            if (stopRequested) {
                batch.stopped = true;
                watch.Abandon(task.path);
                continue;
            }
            TellConverting(task);
            WorkbookRecord& converted = record.workbooks[first + i];
            ConvertOne(*excel.Application(), task, names, converted);
            watch.Converted(task.path, versions.value(task.path));
            TellConverted(converted);
        }
        batch.workbooks = record.workbooks.mid(first);
        if (options.removeOutdatedPdfs) {
            options.removeOutdatedPdfs(batch);
            for (int i = 0; i < batch.workbooks.size(); ++i)
                record.workbooks[first + i].removedPdfs = batch.workbooks[i].removedPdfs;
            record.runFailures += batch.runFailures.mid(batchStart.runFailures.size());
        }
        batch.ended = QDateTime::currentDateTime();
        TellSummary(batch);
        if (batchDone)
            batchDone(batch, watch.Known());
    };

    QHash<QString, FileVersion> planned;
    const QList<WorkbookTask> tasks = Plan([&](const QString& path) {
        planned.insert(path, FileVersion::Of(path));
        const bool current = options.upToDate && options.upToDate(path);
        if (current)
            watch.Converted(path, planned.value(path));
        return current;
    });
    const RunRecord firstBatch = record;
    record = BeginRecord(settings, {}, {}, 1);
    convert(tasks, firstBatch, planned);

    QElapsedTimer clock;
    clock.start();
    while (!stopRequested) {
        if (!tree.Next(watch.Waiting(), stopRequested))
            continue;
        const QHash<QString, FileVersion> ready =
            watch.Look(tree.Workbooks(), clock.elapsed(), tree.Closed());
        if (ready.isEmpty() || stopRequested)
            continue;
        const QList<WorkbookTask> batch =
            PlanRun(settings, options.shard, Listing(), [&ready](const QString& path) {
                return !ready.contains(path);
            }).tasks;
        // Those of the batch that are not ready are there for their name group: as they are now.
        QHash<QString, FileVersion> versions = ready;
        for (const WorkbookTask& task : batch)
            if (!versions.contains(task.path))
                versions.insert(task.path, FileVersion::Of(task.path));
        // What cannot be listed was told by the first run; a batch tells its workbooks only.
        convert(batch, BeginRecord(settings, batch, {}, 1), versions);
    }
    // Seen changed but never converted: what the stop leaves undone.
    ForgetEarlierAttempts(record.workbooks, watch.Waiting());
    for (const QString& path : watch.Waiting()) {
        record.workbooks.append(WorkbookRecord());
        record.workbooks.last().path = path;
    }
    record.stopped = true;
}
