#pragma once

#include "automation/watchedprocess.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Guards one office from a thread of its own. A call into the office that outlives its limit
// kills it; so does a workbook in work that takes longer than its time limit or whose office holds
// more memory than its ceiling (both checked four times a second), and the watchdog keeps which
// limit it was until the next workbook. A call blocked in the office then fails, and whoever made
// it tells why: by Disarm() for the call's limit, by TakeExceeded() for the workbook's.
class OfficeWatchdog
{
public:
    enum class Limit
    {
        None,
        Time,
        Memory
    };

    // A workbook's memory ceiling or time limit of 0 is not watched.
    OfficeWatchdog(long long memoryCeiling, std::chrono::milliseconds workbookLimit);
    ~OfficeWatchdog();
    OfficeWatchdog(const OfficeWatchdog&) = delete;
    OfficeWatchdog& operator=(const OfficeWatchdog&) = delete;

    // One call at a time into office, which may be one being started and not yet watched.
    void Arm(const WatchedProcess& office, std::chrono::milliseconds limit);
    // Ends the call's watch; true when its limit had expired meanwhile. Once it returns, the
    // watchdog no longer touches that office for the call.
    bool Disarm();

    // The office that works on the workbooks, or null. Waits for a check of the last one to end:
    // once it returns, that office may go.
    void Watch(const WatchedProcess* office);

    // A workbook's work begins (its clock starts) and ends.
    void BeginWorkbook();
    void EndWorkbook();

    // The limit that the workbook in work exceeded, if any, told once.
    Limit TakeExceeded();

    long long MemoryCeiling() const { return memoryCeiling_; }
    std::chrono::milliseconds WorkbookLimit() const { return workbookLimit_; }

private:
    void Run();
    // With mutex_ held: whether a workbook's limits are to be checked now and then.
    bool CheckingWorkbook() const;
    void CheckWorkbook();

    const long long memoryCeiling_;
    const std::chrono::milliseconds workbookLimit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;

    const WatchedProcess* callOffice_ = nullptr; // while a call is armed
    std::chrono::steady_clock::time_point callDeadline_;
    bool callExpired_ = false;

    const WatchedProcess* workbookOffice_ = nullptr;
    bool working_ = false;
    std::chrono::steady_clock::time_point began_;
    // A time point, not a wait from each wake: calls arm the watchdog far more often than it
    // checks, and every arming wakes it.
    std::chrono::steady_clock::time_point nextCheck_;
    Limit exceeded_ = Limit::None;

    // Last: it runs on the members above.
    std::thread thread_;
};

// RAII: arms on construction, disarms on destruction unless Expired() was asked.
class ArmedCall
{
public:
    ArmedCall(OfficeWatchdog& watchdog, const WatchedProcess& office,
              std::chrono::milliseconds limit)
        : watchdog_(watchdog)
    {
        watchdog_.Arm(office, limit);
    }
    ~ArmedCall()
    {
        if (!done_)
            watchdog_.Disarm();
    }
    ArmedCall(const ArmedCall&) = delete;
    ArmedCall& operator=(const ArmedCall&) = delete;

    bool Expired()
    {
        done_ = true;
        return watchdog_.Disarm();
    }

private:
    OfficeWatchdog& watchdog_;
    bool done_ = false;
};
