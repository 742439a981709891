#include "automation/calldeadline.h"

CallDeadline::CallDeadline(std::function<void()> onExpiry)
    : onExpiry_(std::move(onExpiry)), watcher_(&CallDeadline::Watch, this)
{
}

CallDeadline::~CallDeadline()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
}

void CallDeadline::Arm(std::chrono::milliseconds limit)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = true;
        expired_ = false;
        deadline_ = std::chrono::steady_clock::now() + limit;
    }
    changed_.notify_all();
}

bool CallDeadline::Disarm()
{
    std::lock_guard<std::mutex> lock(mutex_);
    armed_ = false;
    return expired_;
}

void CallDeadline::Watch()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (!armed_) {
            changed_.wait(lock);
            continue;
        }
        if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            armed_ = false;
            expired_ = true;
            onExpiry_();
        }
    }
}
