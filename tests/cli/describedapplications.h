#pragma once

// Spreadsheet applications that answer from the workbook files themselves, for the command line
// run as a program in the quick suite. A workbook is a small text file, one line for each fact:
//   sheet NAME [blank] [hidden] [noprint] [unreadable] [notloaded]
//   fails | encrypted      it does not open, as a damaged or a password-protected workbook
//   slow MS                opening it takes MS milliseconds
//   hang SECONDS           opening it hangs, until the call limit or a stop
// A file without sheet lines holds one plain sheet, "Sheet1"; an empty file does not open, as the
// office refuses it. With QUILLSHEET_FAKE_NO_START set, no application starts: the run fails as
// one without an office would.

#include "common/fakeapplications.h"

#include <condition_variable>
#include <mutex>

class DescribedApplications final : public SpreadsheetApplications
{
public:
    explicit DescribedApplications(const ApplicationOptions& options) : options(options)
    {
        books.starts = qEnvironmentVariableIsEmpty("QUILLSHEET_FAKE_NO_START");
    }

    std::unique_ptr<SpreadsheetApplication> New(const ApplicationScope& scope) override;
    QString UnsandboxedBecause() override { return QString(); }
    QString TemporaryFolderProblem() override { return QString(); }
    int RemoveLeftTemporaryPdfs(const QString&) override { return 0; }
    bool EndAllNow() override { return Stop(); }
    bool StopAllNow() override { return Stop(); }
    void AllowStarts() override {}

    // Waits as a call that takes wait does, within the call limit; the failure of a call that
    // outlasts it or that a stop cut off.
    ReportedFailure Take(std::chrono::milliseconds wait);

private:
    bool Stop();

    const ApplicationOptions options;
    FakeWorkbooks books;
    std::mutex mutex;
    std::condition_variable stopped;
    int stops = 0;
    int made = 0;
};
