#pragma once

#include <QString>
#include <QVariant>

#include <chrono>
#include <memory>

// The top-left cell (1-based) and the size of a worksheet's used range.
struct UsedRangeInfo
{
    int row = 1;
    int column = 1;
    int rows = 1;
    int columns = 1;
};

// A spreadsheet application with Excel's semantics, answered by a private headless LibreOffice
// over UNO. Workbooks are identified by numbers that are never reused, sheets by 1-based index.
// Every call into the office has a time limit; when it expires or the office dies, that office
// is killed, the call fails, and the next call that needs an office starts a fresh one.
// Failing calls leave a reason in LastError(). All calls come from one thread.
class SpreadsheetServer
{
public:
    explicit SpreadsheetServer(std::chrono::milliseconds callLimit);
    ~SpreadsheetServer();
    SpreadsheetServer(const SpreadsheetServer&) = delete;
    SpreadsheetServer& operator=(const SpreadsheetServer&) = delete;

    // QUILLSHEET_CALL_TIMEOUT (seconds) when set to a positive number, else 120 s.
    static std::chrono::milliseconds DefaultCallLimit();

    bool Start();
    // The workbook's number, or 0 when it cannot be opened.
    int Open(const QString& path);
    // The number of sheets, or -1.
    int SheetCount(int workbook);
    bool HasSheet(int workbook, int sheet);
    bool UsedRange(int workbook, int sheet, UsedRangeInfo& range);
    // Excel's Value: invalid for an empty cell, a double for a number, else the text.
    bool CellValue(int workbook, int sheet, int row, int column, QVariant& value);
    bool SheetName(int workbook, int sheet, QString& name);
    // Writes the PDF of one sheet (sheet > 0) or of the whole workbook (sheet 0).
    bool ExportPdf(int workbook, int sheet, const QString& pdfPath);
    bool Close(int workbook);
    // Ends the office; later calls fail.
    void Quit();

    const QString& LastError() const;
    // The running office's process id, or -1.
    long OfficeProcessId() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
