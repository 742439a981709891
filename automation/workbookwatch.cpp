#include "automation/workbookwatch.h"

#include <utility>

namespace {

constexpr std::chrono::milliseconds CheckInterval(250);

} // namespace

WorkbookWatch::WorkbookWatch(long long memoryCeiling, std::chrono::milliseconds timeLimit)
    : memoryCeiling_(memoryCeiling), timeLimit_(timeLimit)
{
    if (memoryCeiling_ > 0 || timeLimit_.count() > 0)
        watcher_ = std::thread(&WorkbookWatch::Run, this);
}

WorkbookWatch::~WorkbookWatch()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (watcher_.joinable())
        watcher_.join();
}

void WorkbookWatch::Watch(const OfficeProcess* office)
{
    std::lock_guard<std::mutex> lock(mutex_);
    office_ = office;
}

void WorkbookWatch::Begin()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        working_ = true;
        exceeded_ = Limit::None;
        began_ = std::chrono::steady_clock::now();
    }
    changed_.notify_all();
}

void WorkbookWatch::End()
{
    std::lock_guard<std::mutex> lock(mutex_);
    working_ = false;
}

WorkbookWatch::Limit WorkbookWatch::TakeExceeded()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(exceeded_, Limit::None);
}

void WorkbookWatch::Run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (!working_) {
            changed_.wait(lock);
            continue;
        }
        changed_.wait_for(lock, CheckInterval);
        if (stopping_ || !working_ || !office_)
            continue;
        if (timeLimit_.count() > 0 && std::chrono::steady_clock::now() - began_ > timeLimit_)
            exceeded_ = Limit::Time;
        else if (memoryCeiling_ > 0 && office_->ResidentBytes() > memoryCeiling_)
            exceeded_ = Limit::Memory;
        else
            continue;
        // Until the next workbook: a fresh office started meanwhile is not this one's.
        working_ = false;
        office_->Kill();
    }
}
