#include "automation/officewatchdog.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::chrono::milliseconds CheckInterval(250);

} // namespace

OfficeWatchdog::OfficeWatchdog(long long memoryCeiling, std::chrono::milliseconds workbookLimit)
    : memoryCeiling_(memoryCeiling), workbookLimit_(workbookLimit),
      thread_(&OfficeWatchdog::Run, this)
{
}

OfficeWatchdog::~OfficeWatchdog()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void OfficeWatchdog::Arm(const WatchedProcess& office, std::chrono::milliseconds limit)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        callOffice_ = &office;
        callExpired_ = false;
        callDeadline_ = std::chrono::steady_clock::now() + limit;
    }
    changed_.notify_all();
}

bool OfficeWatchdog::Disarm()
{
    std::lock_guard<std::mutex> lock(mutex_);
    callOffice_ = nullptr;
    return callExpired_;
}

void OfficeWatchdog::Watch(const WatchedProcess* office)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        workbookOffice_ = office;
    }
    changed_.notify_all();
}

void OfficeWatchdog::BeginWorkbook()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        working_ = true;
        exceeded_ = Limit::None;
        began_ = std::chrono::steady_clock::now();
        nextCheck_ = began_ + CheckInterval;
    }
    changed_.notify_all();
}

void OfficeWatchdog::EndWorkbook()
{
    std::lock_guard<std::mutex> lock(mutex_);
    working_ = false;
}

OfficeWatchdog::Limit OfficeWatchdog::TakeExceeded()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(exceeded_, Limit::None);
}

bool OfficeWatchdog::CheckingWorkbook() const
{
    return working_ && workbookOffice_ && (memoryCeiling_ > 0 || workbookLimit_.count() > 0);
}

void OfficeWatchdog::CheckWorkbook()
{
    if (workbookLimit_.count() > 0 && std::chrono::steady_clock::now() - began_ > workbookLimit_)
        exceeded_ = Limit::Time;
    else if (memoryCeiling_ > 0 && workbookOffice_->ResidentBytes() > memoryCeiling_)
        exceeded_ = Limit::Memory;
    else
        return;
    // Until the next workbook: a fresh office started meanwhile is not this one's.
    working_ = false;
    workbookOffice_->Kill();
}

// Kills and checks with mutex_ held, so that Disarm() and Watch() wait for them to end.
void OfficeWatchdog::Run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        const bool calling = callOffice_ != nullptr;
        const bool checking = CheckingWorkbook();
        if (!calling && !checking) {
            changed_.wait(lock);
            continue;
        }
        changed_.wait_until(lock, !checking  ? callDeadline_
                                  : !calling ? nextCheck_
                                             : std::min(callDeadline_, nextCheck_));
        if (stopping_)
            break;
        const auto now = std::chrono::steady_clock::now();
        if (callOffice_ && now >= callDeadline_) {
            callExpired_ = true;
            std::exchange(callOffice_, nullptr)->Kill();
        }
        if (CheckingWorkbook() && now >= nextCheck_) {
            nextCheck_ = now + CheckInterval;
            CheckWorkbook();
        }
    }
}
