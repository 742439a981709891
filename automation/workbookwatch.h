#pragma once

#include "automation/officeprocess.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Watches an office while a workbook is in work, four times a second: once the workbook has
// taken longer than its time limit, or the office holds more memory than its ceiling, it kills
// the office and keeps which limit it was until the next workbook. A call blocked in the office
// then fails, and whoever made it tells why by TakeExceeded().
class WorkbookWatch
{
public:
    enum class Limit
    {
        None,
        Time,
        Memory
    };

    // A ceiling or limit of 0 is not watched.
    WorkbookWatch(long long memoryCeiling, std::chrono::milliseconds timeLimit);
    ~WorkbookWatch();
    WorkbookWatch(const WorkbookWatch&) = delete;
    WorkbookWatch& operator=(const WorkbookWatch&) = delete;

    // The office that works on the workbooks, or null. Waits for a check of the last one to end:
    // once it returns, that office may go.
    void Watch(const OfficeProcess* office);

    // A workbook's work begins (its clock starts) and ends.
    void Begin();
    void End();

    // The limit that the workbook in work exceeded, if any, told once.
    Limit TakeExceeded();

    long long MemoryCeiling() const { return memoryCeiling_; }
    std::chrono::milliseconds TimeLimit() const { return timeLimit_; }

private:
    void Run();

    const long long memoryCeiling_;
    const std::chrono::milliseconds timeLimit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const OfficeProcess* office_ = nullptr;
    bool working_ = false;
    bool stopping_ = false;
    Limit exceeded_ = Limit::None;
    std::chrono::steady_clock::time_point began_;
    // Last: it runs on the members above.
    std::thread watcher_;
};
