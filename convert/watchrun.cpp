#include "convert/watchrun.h"

#include "convert/automationobject.h"
#include "convert/platformtexts.h"
#include "convert/runplan.h"
#include "convert/runsettings.h"
#include "convert/visibletext.h"
#include "convert/workbookconversion.h"
#include "convert/workbookdiscovery.h"

#include <QDir>
#include <QElapsedTimer>

#include <chrono>
#include <thread>

#ifdef Q_OS_WIN
#include <objbase.h>
#endif

namespace {

// A workbook seen different from its last conversion, and since when it has stayed the same.
struct Changed
{
    FileVersion version;
    QElapsedTimer steady;
};

// Every workbook below the source folder as it is now.
QHash<QString, FileVersion> WorkbooksNow()
{
    QHash<QString, FileVersion> now;
    for (const QFileInfo& entry :
         GetFileInfoList(QDir::cleanPath(QFileInfo(SourcePath).absoluteFilePath())))
        if (IsWorkbookPath(entry)) {
            const QString path = QDir::toNativeSeparators(entry.filePath());
            now.insert(path, FileVersion::Of(path));
        }
    return now;
}

} // namespace

WatchRun::WatchRun(QObject* parent) : QObject(parent) {}

void WatchRun::RequestStop()
{
    stopRequested = true;
}

void WatchRun::Transform()
{
#ifdef Q_OS_WIN
    CoInitializeEx(nullptr, 0);
#endif
    AutomationObject excel;
    emit ShowDisposingFile(QStringLiteral("excel OK!"));
    QString bindFailure;
    AutomationObject* workbooks = OpenWorkbooks(excel, bindFailure);
    emit ShowDisposingFile(QStringLiteral("WorkBooks OK!"));

    // The version of each workbook last converted or found up to date, by path.
    QHash<QString, FileVersion> known;
    QHash<QString, Changed> changed;
    // Converts the tasks, planned from these versions of their workbooks, as one batch, keeping
    // their records in the watch's record.
    const auto convert = [&](const QList<WorkbookTask>& tasks, const RunRecord& batchStart,
                             const QHash<QString, FileVersion>& versions) {
        const int first = record.workbooks.size();
        record.workbooks.append(batchStart.workbooks);
        record.runFailures += batchStart.runFailures;
        RunRecord batch = batchStart;
        for (int i = 0; i < tasks.size(); ++i) {
            const WorkbookTask& task = tasks[i];
            // Not reached: recorded as such already, no longer waiting.
            if (stopRequested) {
                batch.stopped = true;
                changed.remove(task.path);
                continue;
            }
            emit ShowDisposingFile(VisibleText(task.path));
            WorkbookRecord& converted = record.workbooks[first + i];
            ConvertWorkbook(workbooks, task, MergeSheets, converted);
            // Tried once per version: a failed workbook waits for a change, not a retry.
            known.insert(task.path, versions.value(task.path));
            changed.remove(task.path);
            if (workbookDone)
                workbookDone(converted);
        }
        batch.workbooks = record.workbooks.mid(first);
        batch.ended = QDateTime::currentDateTime();
        emit ShowDisposingFile(batch.Summary());
        if (batchDone)
            batchDone(batch, known);
    };

    if (!workbooks) {
        record = BeginRecord({}, {}, 1);
        record.runFailures << NoApplicationLine(bindFailure);
        emit ShowDisposingFile(NoOfficeMessage());
    } else {
        QHash<QString, FileVersion> planned;
        QStringList unlisted, upToDate;
        const QList<WorkbookTask> tasks = PlanRun(
            [&](const QString& path) {
                planned.insert(path, FileVersion::Of(path));
                const bool current = RunUpToDate && RunUpToDate(path);
                if (current)
                    known.insert(path, planned.value(path));
                return current;
            },
            unlisted, upToDate);
        record = BeginRecord({}, {}, 1);
        convert(tasks, BeginRecord(tasks, unlisted, 1, upToDate), planned);

        while (!stopRequested) {
            for (int waited = 0; waited < PollMs && !stopRequested; waited += 100)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const QHash<QString, FileVersion> now = WorkbooksNow();
            // Removed workbooks are forgotten; their PDFs stay.
            for (auto entry = known.begin(); entry != known.end();)
                entry = now.contains(entry.key()) ? std::next(entry) : known.erase(entry);
            for (auto entry = changed.begin(); entry != changed.end();)
                entry = now.contains(entry.key()) ? std::next(entry) : changed.erase(entry);
            QHash<QString, FileVersion> ready;
            for (auto entry = now.constBegin(); entry != now.constEnd(); ++entry) {
                const auto last = known.constFind(entry.key());
                if (last != known.constEnd() && *last == entry.value()) {
                    changed.remove(entry.key());
                    continue;
                }
                auto seen = changed.find(entry.key());
                if (seen == changed.end() || seen->version != entry.value()) {
                    seen = changed.insert(entry.key(), {entry.value(), QElapsedTimer()});
                    seen->steady.start();
                } else if (seen->steady.elapsed() >= StableMs) {
                    ready.insert(entry.key(), entry.value());
                }
            }
            if (ready.isEmpty() || stopRequested)
                continue;
            QStringList batchUnlisted, waiting;
            const QList<WorkbookTask> batch =
                PlanRun([&ready](const QString& path) { return !ready.contains(path); },
                        batchUnlisted, waiting);
            // What cannot be listed was told by the first run; a batch tells its workbooks only.
            convert(batch, BeginRecord(batch, {}, 1), ready);
        }
        // Seen changed but never converted: what the stop leaves undone.
        for (auto entry = changed.constBegin(); entry != changed.constEnd(); ++entry) {
            record.workbooks.append(WorkbookRecord());
            record.workbooks.last().path = entry.key();
        }
        record.stopped = true;
    }
    excel.dynamicCall("Quit(void)");
    record.ended = QDateTime::currentDateTime();
}
