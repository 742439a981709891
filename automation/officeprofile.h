#pragma once

#include "automation/failureclassification.h"

#include <string>

// The private profile folder an office runs with: named by our process id (see officenames.h),
// holding the office's settings in user/ and its temporary files in tmp/.

// A profile that an office has set up, kept for the offices started after it in its place: on a
// fresh profile the office asks once to be started again (about 0.4 s of every start). Whoever
// starts those offices owns it; it is removed with its owner, by Remove(), or by
// OfficeProcess::EndAllNow().
class SetUpProfile
{
public:
    SetUpProfile() = default;
    ~SetUpProfile();
    SetUpProfile(const SetUpProfile&) = delete;
    SetUpProfile& operator=(const SetUpProfile&) = delete;

    void Remove();

private:
    friend class OfficeProcess;
    std::string path_; // empty until an office has set one up
};

// A new, empty profile folder in the temporary folder; empty, with the reason, when none can be
// made.
std::string NewProfileFolder(SystemFailure& failure);

// Fills a new profile folder: its tmp/, and its user/ settings copied from a set-up profile's
// (setUpPath, when not empty) or else seeded with OfficeSettings() and OfficeFontConfiguration().
// False, with the reason, when one of its folders cannot be made.
bool SeedProfile(const std::string& folder, const std::string& setUpPath, SystemFailure& failure);

// Where a profile keeps the fontconfig configuration its offices run with, when it has one.
std::string FontConfigurationFile(const std::string& folder);

// A new profile folder holding a copy of folder's user/ settings; empty when it cannot be made.
std::string CopyOfProfile(const std::string& folder);
