#pragma once

#include "automation/officeconfinement.h"
#include "convert/spreadsheetapplications.h"
#include "support/regionpaper.h"

#include <chrono>
#include <memory>

// A spreadsheet application answered by a private headless LibreOffice over UNO, with Excel's
// semantics: used range, cell value and blank test behave as Excel's, and a worksheet exports
// alone to its own PDF. Each PDF is written to a temporary file in its folder and renamed over
// its target, so a link standing there is replaced, never followed, and a failed export leaves an
// older PDF whole.
// Every call into the office has a time limit, and every workbook a time limit and a memory
// ceiling; when one is exceeded or the office dies, that office is killed, the call fails, and
// the next call that needs an office starts a fresh one.
class SpreadsheetServer final : public SpreadsheetApplication
{
public:
    // restartInterval: workbooks after which the office is replaced by a fresh one, between
    // workbooks, as it is once it holds more than 1 GB (0: the default, 200). confinement: what
    // the office may reach and use. regionPaper: the paper of sheets that name none, or one the
    // office has no size for, as the user's printer would take it.
    explicit SpreadsheetServer(std::chrono::milliseconds callLimit, int restartInterval = 0,
                               PdfKind pdf = PdfKind::Standard,
                               const OfficeConfinement& confinement = OfficeConfinement(),
                               Paper regionPaper = Paper::A4);
    ~SpreadsheetServer() override;
    SpreadsheetServer(const SpreadsheetServer&) = delete;
    SpreadsheetServer& operator=(const SpreadsheetServer&) = delete;

    CallResult Bind() override;
    CallResult Open(const QString& path) override;
    Answer<int> SheetCount() override;
    Answer<bool> Hidden(int sheet) override;
    Answer<bool> Blank(int sheet) override;
    Answer<QString> Name(int sheet) override;
    // A sheet that prints no page is refused, as Excel refuses it, as NothingToPrint; a
    // workbook's PDF that leaves out sheets the office did not load, as SheetNameInvalid.
    ReportedFailure ExportSheet(int sheet, const QString& pdf) override;
    ReportedFailure ExportWorkbook(const QString& pdf) override;
    void Close() override;
    void Quit() override;

    // The running office's process id, or -1.
    long ProcessId() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
