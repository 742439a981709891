#pragma once

#include "convert/reportedfailure.h"

#include <QString>

// What a call of a spreadsheet application did: whether it gave what was asked, and the failure
// that the application reported during it (kind None when it reported none; a call can give what
// was asked and still report one, and fail without a word).
struct CallResult
{
    bool done = false;
    ReportedFailure failure;
};

// A call that gives a value too; the value is its type's default when the call did not give it.
template <typename T> struct Answer : CallResult
{
    T value{};
};

// What a run asks of a spreadsheet application: one of them, bound in the thread that uses it,
// with one workbook open at a time. Worksheets are counted from 1 in the open workbook; Hidden()
// is asked first of each, as that is where an application tells that it did not load one.
class SpreadsheetApplication
{
public:
    virtual ~SpreadsheetApplication() = default;

    // Starts the application, hidden and with its alerts off; done when it can open workbooks.
    virtual CallResult Bind() = 0;
    virtual CallResult Open(const QString& path) = 0;
    // The open workbook's sheet count; not done when its sheets cannot be read.
    virtual Answer<int> SheetCount() = 0;
    // Whether a worksheet is hidden or very hidden; not done when the sheet cannot be reached.
    virtual Answer<bool> Hidden(int sheet) = 0;
    // Whether a worksheet is blank: a used range of one cell, that cell empty, and no drawings
    // (a sheet whose drawings cannot be counted has some); not done when its used range cannot
    // be read.
    virtual Answer<bool> Blank(int sheet) = 0;
    virtual Answer<QString> Name(int sheet) = 0;
    // Writes the PDF of a worksheet, or of the whole open workbook; whether a PDF was written
    // is for the caller to tell from the file, as the application does not say.
    virtual ReportedFailure ExportSheet(int sheet, const QString& pdf) = 0;
    virtual ReportedFailure ExportWorkbook(const QString& pdf) = 0;
    // Closes the open workbook unsaved. A failed close leaves nothing to tell: the workbook's
    // PDFs are written or failed already.
    virtual void Close() = 0;
    // Tells the application to quit, also when it never bound.
    virtual void Quit() = 0;
};
