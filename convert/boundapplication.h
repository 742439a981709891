#pragma once

#include "convert/automationobject.h"
#include "convert/failurereasons.h"

#include <QString>

// One spreadsheet application of a run, in the thread that makes it: bound to
// "Excel.Application", hidden and with its alerts off, as every run begins; told to quit when it
// goes, also when it never answered.
class BoundApplication
{
public:
    BoundApplication();
    ~BoundApplication();
    BoundApplication(const BoundApplication&) = delete;
    BoundApplication& operator=(const BoundApplication&) = delete;

    // Its workbooks collection; null when no application answered, and then Failure() says why
    // (kind None when the application gave no reason).
    AutomationObject* Workbooks() const { return workbooks; }
    const ReportedFailure& Failure() const { return failure; }

private:
    // Enters the thread into COM before the application object exists (Windows).
    struct ThreadApartment
    {
        ThreadApartment();
    };

    ThreadApartment apartment;
    AutomationObject application;
    ReportedFailure failure;
    AutomationObject* workbooks;
};
