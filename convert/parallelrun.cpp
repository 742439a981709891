#include "convert/parallelrun.h"

#include "convert/automationobject.h"
#include "convert/platformtexts.h"
#include "convert/runplan.h"
#include "convert/runsettings.h"
#include "convert/visibletext.h"
#include "convert/workbookconversion.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#ifdef Q_OS_WIN
#include <objbase.h>
#endif

namespace {

// What the applications' threads tell the run's own thread, which alone sends the texts.
struct Progress
{
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0;          // the next workbook to take
    int answered = 0;      // applications that have answered "WorkBooks", with or without one
    int collections = 0;   // of them with a workbooks collection
    int finished = 0;      // threads done
    QString bindFailure;   // the last reason an application gave for not starting
    std::deque<int> begun; // workbooks whose conversion began, not yet told
    std::deque<int> done;  // workbooks whose conversion ended, not yet told
};

// One application's share of the run, in a thread of its own.
void Work(const QList<WorkbookTask>& tasks, std::vector<WorkbookRecord>& results,
          const std::atomic<bool>& stop, Progress& progress)
{
#ifdef Q_OS_WIN
    CoInitializeEx(nullptr, 0);
#endif
    AutomationObject excel;
    QString failure;
    AutomationObject* workbooks = OpenWorkbooks(excel, failure);
    {
        std::lock_guard<std::mutex> lock(progress.mutex);
        ++progress.answered;
        if (workbooks)
            ++progress.collections;
        else if (!failure.isEmpty())
            progress.bindFailure = failure;
    }
    progress.changed.notify_all();
    while (workbooks) {
        int taken;
        {
            std::lock_guard<std::mutex> lock(progress.mutex);
            if (stop || progress.next >= tasks.size())
                break;
            taken = progress.next++;
            progress.begun.push_back(taken);
        }
        progress.changed.notify_all();
        ConvertWorkbook(workbooks, tasks[taken], MergeSheets, results[taken]);
        {
            std::lock_guard<std::mutex> lock(progress.mutex);
            progress.done.push_back(taken);
        }
        progress.changed.notify_all();
    }
    excel.dynamicCall("Quit(void)");
}

} // namespace

ParallelRun::ParallelRun(int jobs, QObject* parent) : QObject(parent), jobs(jobs) {}

void ParallelRun::RequestStop()
{
    stopRequested = true;
}

void ParallelRun::Transform()
{
    QStringList unlisted, upToDate;
    const QList<WorkbookTask> tasks = PlanRun(RunUpToDate, unlisted, upToDate);
    record = BeginRecord(tasks, unlisted, jobs, upToDate);
    std::vector<WorkbookRecord> results(record.workbooks.begin(), record.workbooks.end());

    emit ShowDisposingFile(QStringLiteral("excel OK!"));
    Progress progress;
    std::vector<std::thread> threads;
    // No more offices than workbooks, but always one, as the serial run starts one.
    const int offices = std::max(1, std::min(jobs, static_cast<int>(tasks.size())));
    for (int j = 0; j < offices; ++j)
        threads.emplace_back([&] {
            Work(tasks, results, stopRequested, progress);
            {
                std::lock_guard<std::mutex> lock(progress.mutex);
                ++progress.finished;
            }
            progress.changed.notify_all();
        });

    bool collectionsTold = false;
    std::unique_lock<std::mutex> lock(progress.mutex);
    for (;;) {
        progress.changed.wait(lock, [&] {
            return (!collectionsTold &&
                    (progress.collections > 0 || progress.answered == offices)) ||
                   (collectionsTold && !progress.begun.empty()) || !progress.done.empty() ||
                   progress.finished == offices;
        });
        if (!collectionsTold && (progress.collections > 0 || progress.answered == offices)) {
            collectionsTold = true;
            lock.unlock();
            emit ShowDisposingFile(QStringLiteral("WorkBooks OK!"));
            lock.lock();
        }
        while (collectionsTold && !progress.begun.empty()) {
            const int begun = progress.begun.front();
            progress.begun.pop_front();
            lock.unlock();
            emit ShowDisposingFile(VisibleText(tasks[begun].path));
            lock.lock();
        }
        while (!progress.done.empty() && progress.begun.empty()) {
            const int done = progress.done.front();
            progress.done.pop_front();
            lock.unlock();
            if (workbookDone)
                workbookDone(results[done]);
            lock.lock();
        }
        if (progress.finished == offices && progress.begun.empty() && progress.done.empty())
            break;
    }
    lock.unlock();
    for (std::thread& thread : threads)
        thread.join();

    for (std::size_t i = 0; i < results.size(); ++i)
        record.workbooks[static_cast<int>(i)] = results[i];
    if (progress.collections == 0) {
        record.runFailures << NoApplicationLine(progress.bindFailure);
        emit ShowDisposingFile(NoOfficeMessage());
    } else {
        record.stopped = progress.next < tasks.size();
        emit ShowDisposingFile(record.Summary());
    }
    record.ended = QDateTime::currentDateTime();
    emit Signal_SetButtonEnable();
}
