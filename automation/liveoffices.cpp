#include "automation/liveoffices.h"

#include <set>

namespace {

// Namespace-scope, so that they outlive the handlers that exit() runs.
std::mutex registryMutex;
std::set<OfficeProcess*> liveOffices;
std::set<SetUpProfile*> keptProfiles;
bool ending = false;
bool refusing = false;

} // namespace

LiveOffices::LiveOffices() : lock_(registryMutex) {}

bool LiveOffices::Ending() const
{
    return ending;
}

bool LiveOffices::Refusing() const
{
    return refusing;
}

void LiveOffices::RefuseNew()
{
    refusing = true;
}

void LiveOffices::AllowNew()
{
    refusing = false;
}

void LiveOffices::Add(OfficeProcess* office)
{
    liveOffices.insert(office);
}

void LiveOffices::Remove(OfficeProcess* office)
{
    liveOffices.erase(office);
}

void LiveOffices::Keep(SetUpProfile* profile)
{
    keptProfiles.insert(profile);
}

void LiveOffices::Forget(SetUpProfile* profile)
{
    keptProfiles.erase(profile);
}

bool LiveOffices::EndAll(const std::function<void(const OfficeProcess&)>& endOffice,
                         const std::function<void(SetUpProfile&)>& endProfile)
{
    ending = true;
    for (const OfficeProcess* office : liveOffices)
        endOffice(*office);
    for (SetUpProfile* profile : keptProfiles)
        endProfile(*profile);
    keptProfiles.clear();
    return !liveOffices.empty();
}

bool LiveOffices::Each(const std::function<void(const OfficeProcess&)>& each) const
{
    for (const OfficeProcess* office : liveOffices)
        each(*office);
    return !liveOffices.empty();
}
