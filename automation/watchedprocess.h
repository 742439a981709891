#pragma once

// What a watchdog needs of an office's process: an OfficeProcess, or a stand-in in tests. Both
// members are called from the watchdog's own thread.
class WatchedProcess
{
public:
    // The resident memory of the office's processes in bytes, or 0.
    virtual long long ResidentBytes() const = 0;
    // Ends the office at once, as often as asked.
    virtual void Kill() const = 0;

protected:
    ~WatchedProcess() = default;
};
