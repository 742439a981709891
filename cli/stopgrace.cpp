#include "cli/stopgrace.h"

StopGrace::StopGrace(std::chrono::milliseconds grace, std::function<void()> force)
    : grace(grace), force(std::move(force)), waiter([this] { Wait(); })
{
}

StopGrace::~StopGrace()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ending = true;
    }
    changed.notify_all();
    waiter.join();
}

void StopGrace::Begin()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        begun = true;
    }
    changed.notify_all();
}

void StopGrace::Wait()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return begun || ending; });
    if (changed.wait_for(lock, grace, [this] { return ending; }))
        return;
    lock.unlock();
    force();
}
