#include "convert/mergeobject.h"

#include "convert/applicationcount.h"
#include "convert/boundapplication.h"

#include <QFileInfo>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// What the applications' threads tell the run's own thread, which alone sends the texts.
struct Progress
{
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0;                // the next workbook to take
    int answered = 0;            // applications whose binding has ended, bound or not
    int bound = 0;               // of them bound
    int finished = 0;            // threads done
    ReportedFailure bindFailure; // the last reason an application gave for not starting
    std::deque<int> begun;       // workbooks whose conversion began, not yet told
    std::deque<int> done;        // workbooks whose conversion ended, not yet told
};

// One application's share of the run, in a thread of its own.
template <typename ConvertOne>
void Work(std::unique_ptr<SpreadsheetApplication> application, int tasks,
          const std::atomic<bool>& stop, Progress& progress, ConvertOne convertOne)
{
    const BoundApplication excel(std::move(application));
    {
        std::lock_guard<std::mutex> lock(progress.mutex);
        ++progress.answered;
        if (excel.Application())
            ++progress.bound;
        else if (excel.Failure().kind != FailureKind::None)
            progress.bindFailure = excel.Failure();
    }
    progress.changed.notify_all();
    while (excel.Application()) {
        int taken;
        {
            std::lock_guard<std::mutex> lock(progress.mutex);
            if (stop || progress.next >= tasks)
                break;
            taken = progress.next++;
            progress.begun.push_back(taken);
        }
        progress.changed.notify_all();
        convertOne(*excel.Application(), taken);
        {
            std::lock_guard<std::mutex> lock(progress.mutex);
            progress.done.push_back(taken);
        }
        progress.changed.notify_all();
    }
}

} // namespace

MergeObject::MergeObject(SpreadsheetApplications& applications, QObject* parent)
    : MergeObject(applications, RunOptions(), parent)
{
}

MergeObject::MergeObject(SpreadsheetApplications& applications, RunOptions options, QObject* parent)
    : ConversionRun(applications, std::move(options), parent)
{
}

void MergeObject::Convert()
{
    const QList<WorkbookTask> tasks = Plan();
    // Stopped while listing: no application is started for what was found.
    if (stopRequested) {
        record.stopped = true;
        TellSummary(record);
        return;
    }
    // Each thread writes only the records of the workbooks it took.
    std::vector<WorkbookRecord> results(record.workbooks.begin(), record.workbooks.end());

    TellBinding();
    QList<qint64> sizes;
    for (const WorkbookTask& task : tasks)
        sizes << QFileInfo(task.path).size();
    // Nothing to convert needs no application: the run tells its texts all the same.
    const int offices = ApplicationsWorthStarting(sizes, options.jobs);
    if (offices == 0) {
        TellBound();
        TellSummary(record);
        return;
    }
    PdfNameRegister names(tasks);
    Progress progress;
    std::vector<std::thread> threads;
    for (int j = 0; j < offices; ++j)
        threads.emplace_back([&] {
            Work(NewApplication(), tasks.size(), stopRequested, progress,
                 [&](SpreadsheetApplication& application, int taken) {
                     ConvertOne(application, tasks[taken], names, results[taken]);
                 });
            {
                std::lock_guard<std::mutex> lock(progress.mutex);
                ++progress.finished;
            }
            progress.changed.notify_all();
        });

    bool boundTold = false;
    std::unique_lock<std::mutex> lock(progress.mutex);
    for (;;) {
        const auto bound = [&] {
            return !boundTold && (progress.bound > 0 || progress.answered == offices);
        };
        progress.changed.wait(lock, [&] {
            return bound() || (boundTold && !progress.begun.empty()) || !progress.done.empty() ||
                   progress.finished == offices;
        });
        if (bound()) {
            boundTold = true;
            lock.unlock();
            TellBound();
            lock.lock();
        }
        while (boundTold && !progress.begun.empty()) {
            const int begun = progress.begun.front();
            progress.begun.pop_front();
            lock.unlock();
            TellConverting(tasks[begun]);
            lock.lock();
        }
        // A workbook is told done only after every workbook begun before it was told begun.
        while (!progress.done.empty() && progress.begun.empty()) {
            const int done = progress.done.front();
            progress.done.pop_front();
            lock.unlock();
            TellConverted(results[done]);
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
    if (progress.bound == 0) {
        TellNoApplication(progress.bindFailure);
    } else {
        // A workbook cut off by a forced stop is one not reached, even as the list's last.
        record.stopped = progress.next < tasks.size() || record.NotConverted() > 0;
        if (options.removeOutdatedPdfs)
            options.removeOutdatedPdfs(record);
        TellSummary(record);
    }
}
