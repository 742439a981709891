#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Watches one call at a time: when an armed call outlives its limit, onExpiry runs on the
// watcher's own thread (it must be safe there, e.g. a kill()).
class CallDeadline
{
public:
    explicit CallDeadline(std::function<void()> onExpiry);
    ~CallDeadline();
    CallDeadline(const CallDeadline&) = delete;
    CallDeadline& operator=(const CallDeadline&) = delete;

    void Arm(std::chrono::milliseconds limit);
    // Ends the watch; true when the limit had expired meanwhile.
    bool Disarm();

private:
    void Watch();

    std::function<void()> onExpiry_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool expired_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::thread watcher_;
};

// RAII: arms on construction, disarms on destruction unless Disarm() was called.
class ArmedCall
{
public:
    ArmedCall(CallDeadline& deadline, std::chrono::milliseconds limit) : deadline_(deadline)
    {
        deadline_.Arm(limit);
    }
    ~ArmedCall()
    {
        if (!done_)
            deadline_.Disarm();
    }
    ArmedCall(const ArmedCall&) = delete;
    ArmedCall& operator=(const ArmedCall&) = delete;

    bool Expired()
    {
        done_ = true;
        return deadline_.Disarm();
    }

private:
    CallDeadline& deadline_;
    bool done_ = false;
};
