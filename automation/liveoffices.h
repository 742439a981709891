#pragma once

#include <functional>
#include <mutex>

class OfficeProcess;
class SetUpProfile;

// The process-wide registry of what OfficeProcess::EndAllNow() ends: the offices that have
// files on disk and are not stopped yet, and the set-up profiles kept for later offices. An
// instance holds the registry's one lock while it lives; that lock also guards what ending them
// reads of each, so an office that gets its files while the program ends is refused, not missed.
class LiveOffices
{
public:
    LiveOffices();
    LiveOffices(const LiveOffices&) = delete;
    LiveOffices& operator=(const LiveOffices&) = delete;

    // True once EndAll() has run: no office may get files from then on.
    bool Ending() const;
    // True from RefuseNew() until AllowNew(): no office may start meanwhile.
    bool Refusing() const;
    void RefuseNew();
    void AllowNew();

    void Add(OfficeProcess* office);
    void Remove(OfficeProcess* office);
    void Keep(SetUpProfile* profile);
    void Forget(SetUpProfile* profile);

    // Marks the program as ending, hands every live office to endOffice and every kept profile
    // to endProfile, and forgets the profiles. False when no office was live.
    bool EndAll(const std::function<void(const OfficeProcess&)>& endOffice,
                const std::function<void(SetUpProfile&)>& endProfile);

    // Hands every live office to each; false when none was live.
    bool Each(const std::function<void(const OfficeProcess&)>& each) const;

private:
    std::lock_guard<std::mutex> lock_;
};
