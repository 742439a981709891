#pragma once

#include "automation/automationserver.h"

#include <QFile>
#include <QMap>
#include <QStringList>

#include <functional>
#include <map>
#include <mutex>
#include <thread>

// A stand-in spreadsheet application: answers from workbooks described by the test and records
// every call made on its objects, exactly as the run made it. One stand-in may answer several
// applications of a run at once, each in a thread of its own: calls are taken one at a time, and
// each thread has its own last error, as each application has.
class RecordingServer : public AutomationServer
{
public:
    struct Sheet
    {
        QString name;
        UsedRangeInfo range;
        QVariant value;       // of the used range's top-left cell
        bool readable = true; // its used range can be read
        int visibility = -1;  // Excel's: -1 visible, 0 hidden, 2 very hidden
        int shapes = 0;       // drawing objects
        bool prints = true;   // its export yields a page
        bool loaded = true;   // else the application left it out: it has a name and nothing else
    };
    struct Workbook
    {
        QList<Sheet> sheets;
        bool opens = true;
    };

    QMap<QString, Workbook> workbooks; // by native path
    bool starts = true;
    FailureKind startFailure = FailureKind::CannotStart; // why it does not start
    bool exportsWrite = true;                            // an export writes its PDF
    std::function<void(const QString& path)> onOpen;     // runs inside each Open
    QStringList calls;

    bool Start() override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        return Fail(starts, startFailure, "not started");
    }
    int Open(const QString& path) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        if (onOpen)
            onOpen(path);
        if (!workbooks.contains(path) || !workbooks[path].opens) {
            Failure() = {FailureKind::Reported, "damaged"};
            return 0;
        }
        opened << path;
        return opened.size();
    }
    int SheetCount(int workbook) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        return Book(workbook).sheets.size();
    }
    bool HasSheet(int workbook, int sheet) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        return Fail(sheet >= 1 && sheet <= Book(workbook).sheets.size(), FailureKind::Reported,
                    "no such sheet");
    }
    bool UsedRange(int workbook, int sheet, UsedRangeInfo& range) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        range = Book(workbook).sheets[sheet - 1].range;
        return Fail(Book(workbook).sheets[sheet - 1].readable, FailureKind::Reported, "unreadable");
    }
    bool CellValue(int workbook, int sheet, int, int, QVariant& value) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        value = Book(workbook).sheets[sheet - 1].value;
        return true;
    }
    int ShapeCount(int workbook, int sheet) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        return Book(workbook).sheets[sheet - 1].shapes;
    }
    bool SheetName(int workbook, int sheet, QString& name) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        name = Book(workbook).sheets[sheet - 1].name;
        return true;
    }
    bool SheetVisibility(int workbook, int sheet, int& visibility) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        visibility = Book(workbook).sheets[sheet - 1].visibility;
        return Fail(Book(workbook).sheets[sheet - 1].loaded, FailureKind::SheetNameInvalid,
                    "not loaded");
    }
    bool ExportPdf(int workbook, int sheet, const QString& pdfPath) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        if (sheet > 0 && !Book(workbook).sheets[sheet - 1].prints)
            return Fail(false, FailureKind::NothingToPrint, "the worksheet has nothing to print");
        if (exportsWrite) {
            QFile pdf(pdfPath);
            pdf.open(QIODevice::WriteOnly);
            pdf.write("%PDF-1.4 stand-in");
        }
        // A workbook's PDF is written without the sheets left out, and says so.
        for (const Sheet& left : Book(workbook).sheets)
            if (sheet == 0 && !left.loaded)
                return Fail(false, FailureKind::SheetNameInvalid, "sheets left out");
        return true;
    }
    bool Close(int) override { return true; }
    void Quit() override {}
    const ServerFailure& LastFailure() const override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        return failures[std::this_thread::get_id()];
    }
    void Called(const QString& call) override
    {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        calls << call;
    }

private:
    const Workbook& Book(int workbook) const { return *workbooks.constFind(opened[workbook - 1]); }
    bool Fail(bool ok, FailureKind kind, const char* reason)
    {
        if (!ok)
            Failure() = {kind, reason};
        return ok;
    }
    ServerFailure& Failure() { return failures[std::this_thread::get_id()]; }

    mutable std::recursive_mutex mutex;
    QStringList opened;
    mutable std::map<std::thread::id, ServerFailure> failures;
};
