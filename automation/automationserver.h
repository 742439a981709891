#pragma once

#include "convert/reportedfailure.h"

#include <QString>
#include <QVariant>

// The top-left cell (1-based) and the size of a worksheet's used range.
struct UsedRangeInfo
{
    int row = 1;
    int column = 1;
    int rows = 1;
    int columns = 1;
};

// Why a call failed: its kind, and the message behind it (the office's, the system's or the
// server's own), which the run keeps as the failure's detail; the run's own form of it.
using ServerFailure = ReportedFailure;

// What answers AutomationObject's calls, with Excel's semantics. Workbooks are identified by
// numbers that are never reused (0: none), sheets by 1-based index. A failing call leaves its
// reason in LastFailure(). All calls come from one thread.
class AutomationServer
{
public:
    virtual ~AutomationServer() = default;

    virtual bool Start() = 0;
    virtual int Open(const QString& path) = 0;
    // The number of sheets, or -1.
    virtual int SheetCount(int workbook) = 0;
    virtual bool HasSheet(int workbook, int sheet) = 0;
    virtual bool UsedRange(int workbook, int sheet, UsedRangeInfo& range) = 0;
    // Excel's Value: invalid for an empty cell, a double for a number, else the text.
    virtual bool CellValue(int workbook, int sheet, int row, int column, QVariant& value) = 0;
    // Excel's Shapes Count: the drawing objects on a sheet (pictures, charts, shapes, form
    // controls, comments), or -1.
    virtual int ShapeCount(int workbook, int sheet) = 0;
    virtual bool SheetName(int workbook, int sheet, QString& name) = 0;
    // Excel's Visible of a worksheet: -1 visible, 0 hidden, 2 very hidden.
    virtual bool SheetVisibility(int workbook, int sheet, int& visibility) = 0;
    // Writes the PDF of one sheet (sheet > 0) or of the whole workbook (sheet 0). A sheet that
    // prints no page is refused, as Excel refuses it, as NothingToPrint.
    virtual bool ExportPdf(int workbook, int sheet, const QString& pdfPath) = 0;
    virtual bool Close(int workbook) = 0;
    // Ends the server; later calls fail.
    virtual void Quit() = 0;
    virtual const ServerFailure& LastFailure() const = 0;
    const QString& LastError() const { return LastFailure().message; }
    // The process that does the work, or -1.
    virtual long ProcessId() const { return -1; }

    // Told of every call made on an object of this server, as "object.how(member, args)", before
    // it is answered: a stand-in server records them to check a run's calls.
    virtual void Called(const QString& call) { Q_UNUSED(call); }
};
