#pragma once

#include "automation/failureclassification.h"
#include "automation/officeconfinement.h"
#include "automation/officeprofile.h"
#include "automation/watchedprocess.h"

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

// One private, headless LibreOffice process: its own seeded profile folder (named with our
// process id, holding the office's temporary files too) and a unique pipe to accept UNO
// connections on, both the user's alone. Where it can, it runs in a sandbox (officesandbox.h).
// It dies with the thread that started it, and Stop() or the destructor leaves neither process,
// pipe nor profile behind. Starting one first removes what offices of ended runs left behind.
class OfficeProcess final : public WatchedProcess
{
public:
    OfficeProcess();
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // The exit code by which an office asks to be started again, as it does once on a fresh
    // profile.
    static constexpr int RestartExitCode = 81;

    // Whether the office's program is there: without it no office is installed.
    static bool Installed();

    // Offices started with one kept set-up profile start from a copy of it, or else from a copy
    // of the user's cached one; the first of them to set its own up keeps a copy in both. Call
    // before the first Start().
    void ShareSetUpProfile(SetUpProfile& profile) { setUp_ = &profile; }

    // What the office may reach; call before Start(). Its writable folders are made when
    // missing, since the office sees only those there at its start.
    void Confine(const OfficeConfinement& confinement) { confinement_ = confinement; }

    // Starts soffice.bin, in the sandbox when the confinement asks for one and one can be had.
    // False, with the reason, when the profile cannot be made or the program cannot be started.
    bool Start(SystemFailure& failure);

    // Where the office accepts connections, as a UNO connector names it.
    std::string ConnectionDescription() const;

    // True while the process runs; once it ended, ExitCode() tells how.
    bool Running();
    int ExitCode() const { return exitCode_; }
    long ProcessId() const { return pid_; }
    // The resident memory of the office's processes in bytes, or 0.
    long long ResidentBytes() const override;

    // Notes the socket files that the running office has made (its single-instance pipe among
    // them), so that Stop() removes them even after a kill. Call once it accepts connections.
    void NoteSocketFiles();

    // Sends SIGKILL to the office's process group; safe from any thread, as often as needed.
    void Kill() const override;

    // Waits up to limit for the process to end by itself, then kills it; reaps it and removes
    // its pipe and profile.
    void Stop(std::chrono::milliseconds limit);

    // Kills every office of this process that has not been stopped and removes its files, from
    // any thread, for a program that ends right afterwards; no office starts from then on.
    // False when there was none.
    static bool EndAllNow();

    // Kills every office of this process that has not been stopped, from any thread, so that
    // the calls waiting on them fail at once; their owners remove their files. No office starts
    // until AllowStarts(). False when there was none.
    static bool KillAllNow();
    static void AllowStarts();

private:
    bool MakeProfile(SystemFailure& failure);
    // Keeps this office's profile, just set up, for the offices started after it: those of this
    // run, and in the user's cache (profilecache.h) those of every run.
    void KeepSetUpProfile();
    void RemoveFiles() const;
    void RemoveLeftovers();

    // The office's arguments: in the sandbox, with a link to the pipe it makes there and the
    // folders it binds made; false when one cannot be.
    bool Command(const std::vector<std::string>& office, std::vector<std::string>& command,
                 SystemFailure& failure);

    SetUpProfile* setUp_ = nullptr;
    OfficeConfinement confinement_;
    std::string profileDir_;
    bool fromCache_ = false; // seeded from the user's cached profile
    std::string pipeName_;
    std::vector<std::string> socketFiles_;
    std::atomic<pid_t> pid_{-1};
    int exitCode_ = -1;
};
