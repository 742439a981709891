#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The command line's counterpart of the window's forced stop: once Begin() is called, force is
// called after the grace, from a thread of its own, unless the object goes first. A stop that
// waits for the workbooks in work could otherwise wait as long as a hung office's limits.
class StopGrace
{
public:
    StopGrace(std::chrono::milliseconds grace, std::function<void()> force);
    // Waits for force if it is in progress; never calls it after.
    ~StopGrace();
    StopGrace(const StopGrace&) = delete;
    StopGrace& operator=(const StopGrace&) = delete;

    // Starts the grace; safe from any thread, and only the first call counts.
    void Begin();

private:
    void Wait();

    const std::chrono::milliseconds grace;
    const std::function<void()> force;
    std::mutex mutex;
    std::condition_variable changed;
    bool begun = false;
    bool ending = false;
    std::thread waiter;
};
