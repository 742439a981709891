#pragma once

#include "convert/spreadsheetapplication.h"

#include <QObject>
#include <QVariant>

#include <map>
#include <utility>
#include <vector>

// A spreadsheet application driven through Excel's object model, over an automation object type
// with QAxObject's calls and exception() signal: QAxObject on Windows (Excel, WPS), a recording
// object in the tests. Every Excel member that a run names is here, each called as Excel takes
// it. The objects obtained for a workbook are deleted as soon as it is closed, so that a long run
// or a watch holds none (on Windows each holds a reference into the application).
template <typename Object> class ExcelApplication final : public SpreadsheetApplication
{
public:
    // arguments: the application object's, as its type takes them (QAxObject: none).
    template <typename... Arguments>
    explicit ExcelApplication(Arguments&&... arguments)
        : application(std::forward<Arguments>(arguments)...)
    {
        Watch(&application);
    }
    ~ExcelApplication() override
    {
        ForgetWorkbook();
        delete workbooks;
    }
    ExcelApplication(const ExcelApplication&) = delete;
    ExcelApplication& operator=(const ExcelApplication&) = delete;

    CallResult Bind() override
    {
        reported = ReportedFailure();
        application.setControl(QStringLiteral("Excel.Application"));
        application.dynamicCall("SetVisible (bool Visible)", "false");
        application.setProperty("DisplayAlerts", false);
        workbooks = application.querySubObject("WorkBooks");
        if (workbooks)
            Watch(workbooks);
        return Result(workbooks != nullptr);
    }

    CallResult Open(const QString& path) override
    {
        ForgetWorkbook();
        reported = ReportedFailure();
        workbook = workbooks->querySubObject("Open(const QString&)", path);
        if (workbook)
            Watch(workbook);
        return Result(workbook != nullptr);
    }

    Answer<int> SheetCount() override
    {
        reported = ReportedFailure();
        Object* sheets = Obtained(workbook->querySubObject("Sheets"));
        // A count that cannot be read is no workbook without sheets.
        bool counted = false;
        const int count = sheets ? sheets->property("Count").toInt(&counted) : 0;
        return Result(counted, count);
    }

    Answer<bool> Hidden(int sheet) override
    {
        reported = ReportedFailure();
        Object* worksheet = Worksheet(sheet);
        if (!worksheet)
            return Result(false, false);
        // Only what Visible reports tells of the sheet: reaching it reported nothing of use.
        reported = ReportedFailure();
        // -1 visible, 0 hidden, 2 very hidden.
        bool known = false;
        const int visible = worksheet->property("Visible").toInt(&known);
        return Result(true, known && (visible == 0 || visible == 2));
    }

    Answer<bool> Blank(int sheet) override
    {
        reported = ReportedFailure();
        Object* worksheet = Worksheet(sheet);
        Object* range = worksheet ? Obtained(worksheet->querySubObject("UsedRange")) : nullptr;
        const int row = range ? range->property("Row").toInt() : 0;
        const int column = range ? range->property("Column").toInt() : 0;
        Object* rows = range ? Obtained(range->querySubObject("Rows")) : nullptr;
        Object* columns = range ? Obtained(range->querySubObject("Columns")) : nullptr;
        Object* cell = worksheet
                           ? Obtained(worksheet->querySubObject("Cells(int, int)", row, column))
                           : nullptr;
        if (!range || !rows || !columns || !cell)
            return Result(false, false);
        // Counts first; a value only for a single-cell used range; drawings last, since the used
        // range leaves them out.
        const bool blank =
            rows->property("Count").toInt() == 1 && columns->property("Count").toInt() == 1 &&
            cell->dynamicCall("Value()").toString() == QString() && !HasDrawings(worksheet);
        return Result(true, blank);
    }

    Answer<QString> Name(int sheet) override
    {
        reported = ReportedFailure();
        Object* worksheet = Worksheet(sheet);
        return Result(worksheet != nullptr,
                      worksheet ? worksheet->property("Name").toString() : QString());
    }

    ReportedFailure ExportSheet(int sheet, const QString& pdf) override
    {
        reported = ReportedFailure();
        if (Object* worksheet = Worksheet(sheet))
            Export(worksheet, pdf);
        return reported;
    }

    ReportedFailure ExportWorkbook(const QString& pdf) override
    {
        reported = ReportedFailure();
        Export(workbook, pdf);
        return reported;
    }

    void Close() override
    {
        workbook->dynamicCall("Close (Boolean)", false);
        ForgetWorkbook();
    }

    void Quit() override { application.dynamicCall("Quit(void)"); }

private:
    // Keeps the failure that each watched object reports: the application, its workbooks, the
    // open workbook and its worksheets.
    void Watch(Object* object)
    {
        QObject::connect(
            object, &Object::exception,
            [this](int, const QString&, const QString& desc, const QString&) {
                // COM's code says only that the member failed; Excel's or WPS's message is the
                // whole reason.
                reported = {desc.isEmpty() ? FailureKind::None : FailureKind::Reported, desc, 0};
            });
    }
    // Something obtained for the open workbook, deleted when it closes.
    Object* Obtained(Object* object)
    {
        if (object)
            obtained.push_back(object);
        return object;
    }
    // The worksheet, reached at its first call.
    Object* Worksheet(int sheet)
    {
        const auto known = worksheets.find(sheet);
        if (known != worksheets.end())
            return known->second;
        Object* worksheet = Obtained(workbook->querySubObject("WorkSheets(int)", sheet));
        if (!worksheet)
            return nullptr;
        Watch(worksheet);
        worksheets[sheet] = worksheet;
        return worksheet;
    }
    bool HasDrawings(Object* worksheet)
    {
        Object* shapes = Obtained(worksheet->querySubObject("Shapes"));
        bool counted = false;
        const int count = shapes ? shapes->property("Count").toInt(&counted) : 0;
        return !counted || count > 0;
    }
    void Export(Object* target, const QString& pdf)
    {
        target->dynamicCall("ExportAsFixedFormat(QVariant,QVariant)", 0, pdf);
    }
    // Deletes what was obtained for the open workbook, the latest first, as each may be the
    // child of an earlier one, then the workbook.
    void ForgetWorkbook()
    {
        for (auto object = obtained.rbegin(); object != obtained.rend(); ++object)
            delete *object;
        obtained.clear();
        worksheets.clear();
        delete workbook;
        workbook = nullptr;
    }
    CallResult Result(bool done) const { return {done, reported}; }
    template <typename T> Answer<T> Result(bool done, T value) const
    {
        return {{done, reported}, std::move(value)};
    }

    Object application;
    Object* workbooks = nullptr;
    Object* workbook = nullptr;
    std::map<int, Object*> worksheets;
    std::vector<Object*> obtained;
    ReportedFailure reported;
};
