#pragma once

#include "convert/failurereasons.h"
#include "convert/spreadsheetapplication.h"

#include <memory>

// One spreadsheet application of a run, in the thread that uses it: bound as every run begins;
// told to quit when it goes, also when it never answered.
class BoundApplication
{
public:
    explicit BoundApplication(std::unique_ptr<SpreadsheetApplication> unbound);
    ~BoundApplication();
    BoundApplication(const BoundApplication&) = delete;
    BoundApplication& operator=(const BoundApplication&) = delete;

    // The application; null when none answered, and then Failure() says why (kind None when
    // the application gave no reason).
    SpreadsheetApplication* Application() const { return bound ? application.get() : nullptr; }
    const ReportedFailure& Failure() const { return failure; }

private:
    const std::unique_ptr<SpreadsheetApplication> application;
    bool bound = false;
    ReportedFailure failure;
};
