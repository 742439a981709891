#pragma once

#include "automation/automationserver.h"
#include "automation/officeconfinement.h"
#include "support/regionpaper.h"

#include <chrono>
#include <memory>

// A spreadsheet application with Excel's semantics, answered by a private headless LibreOffice
// over UNO. Each PDF is written to a temporary file in its folder and renamed over its target,
// so a link standing there is replaced, never followed, and a failed export leaves an older PDF
// whole.
// Every call into the office has a time limit, and every workbook a time limit and a memory
// ceiling; when one is exceeded or the office dies, that office is killed, the call fails, and
// the next call that needs an office starts a fresh one.
class SpreadsheetServer : public AutomationServer
{
public:
    enum class PdfKind
    {
        Plain,
        ArchivalPdfA2b // PDF/A-2b, every font embedded
    };

    // restartInterval: workbooks after which the office is replaced by a fresh one, between
    // workbooks, as it is once it holds more than 1 GB (0: the default, 200). confinement: what
    // the office may reach and use. regionPaper: the paper of sheets that name none, or one the
    // office has no size for, as the user's printer would take it.
    explicit SpreadsheetServer(std::chrono::milliseconds callLimit, int restartInterval = 0,
                               PdfKind pdfKind = PdfKind::Plain,
                               const OfficeConfinement& confinement = OfficeConfinement(),
                               Paper regionPaper = Paper::A4);
    ~SpreadsheetServer() override;
    SpreadsheetServer(const SpreadsheetServer&) = delete;
    SpreadsheetServer& operator=(const SpreadsheetServer&) = delete;

    // QUILLSHEET_CALL_TIMEOUT (seconds, see ParseCallTimeLimit) when set, else 120 s; a value
    // out of range is reported on stderr, once per process, and the default used.
    static std::chrono::milliseconds DefaultCallLimit();

    bool Start() override;
    int Open(const QString& path) override;
    int SheetCount(int workbook) override;
    bool HasSheet(int workbook, int sheet) override;
    bool UsedRange(int workbook, int sheet, UsedRangeInfo& range) override;
    bool CellValue(int workbook, int sheet, int row, int column, QVariant& value) override;
    int ShapeCount(int workbook, int sheet) override;
    bool SheetName(int workbook, int sheet, QString& name) override;
    bool SheetVisibility(int workbook, int sheet, int& visibility) override;
    bool ExportPdf(int workbook, int sheet, const QString& pdfPath) override;
    bool Close(int workbook) override;
    void Quit() override;
    const ServerFailure& LastFailure() const override;
    // The running office's process id, or -1.
    long ProcessId() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
