#pragma once

#include "convert/spreadsheetapplications.h"

#include <QMap>
#include <QSaveFile>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Workbooks described by a test, as fake applications answer them.
struct FakeSheet
{
    QString name;
    int rows = 1, columns = 1; // of its used range, from A1
    QVariant value;            // of the used range's top-left cell
    bool readable = true;      // its used range can be read
    int visibility = -1;       // Excel's: -1 visible, 0 hidden, 2 very hidden
    int shapes = 0;            // drawing objects
    bool prints = true;        // its export yields a page
    bool loaded = true;        // else the application left it out: it has a name and nothing else
};
struct FakeWorkbook
{
    QList<FakeSheet> sheets;
    bool opens = true;
    bool counted = true; // its sheets can be counted
};
struct FakeWorkbooks
{
    QMap<QString, FakeWorkbook> workbooks;               // by native path
    bool starts = true;                                  // an application binds
    FailureKind startFailure = FailureKind::CannotStart; // why it does not
    bool exportsWrite = true;                            // an export writes its PDF
    std::function<void(const QString& path)> onOpen;     // runs inside each Open
    // Several applications of a run answer at once, one call at a time.
    std::recursive_mutex mutex;
};

// The calls that one application was asked, in order.
using CallLog = std::shared_ptr<QStringList>;

// A spreadsheet application that answers from the described workbooks as the office does, with
// the office's kinds of failure, and logs each call: "Bind", "Open(path)", "Hidden(k)"…
class FakeApplication final : public SpreadsheetApplication
{
public:
    FakeApplication(FakeWorkbooks& books, CallLog log) : books(books), log(std::move(log)) {}

    CallResult Bind() override
    {
        const auto lock = Logged("Bind");
        return {books.starts, books.starts ? ReportedFailure()
                                           : ReportedFailure{books.startFailure, "not started"}};
    }
    CallResult Open(const QString& path) override
    {
        const auto lock = Logged("Open(" + path + ')');
        if (books.onOpen)
            books.onOpen(path);
        open = books.workbooks.contains(path) && books.workbooks[path].opens ? path : QString();
        return {!open.isEmpty(), open.isEmpty() ? Failed("damaged") : ReportedFailure()};
    }
    Answer<int> SheetCount() override
    {
        const auto lock = Logged("SheetCount");
        if (!books.workbooks[open].counted)
            return Answered(false, 0, Failed("sheets unreadable"));
        return Answered(true, static_cast<int>(Sheets().size()));
    }
    Answer<bool> Hidden(int k) override
    {
        const auto lock = Logged(QStringLiteral("Hidden(%1)").arg(k));
        if (k < 1 || k > Sheets().size())
            return Answered(false, false, Failed("no such sheet"));
        const FakeSheet& sheet = Sheets()[k - 1];
        return Answered(true, sheet.visibility == 0 || sheet.visibility == 2,
                        sheet.loaded
                            ? ReportedFailure()
                            : ReportedFailure{FailureKind::SheetNameInvalid, "not loaded"});
    }
    Answer<bool> Blank(int k) override
    {
        const auto lock = Logged(QStringLiteral("Blank(%1)").arg(k));
        const FakeSheet& sheet = Sheets()[k - 1];
        if (!sheet.readable)
            return Answered(false, false, Failed("unreadable"));
        return Answered(true, sheet.rows == 1 && sheet.columns == 1 &&
                                  sheet.value.toString().isEmpty() && sheet.shapes == 0);
    }
    Answer<QString> Name(int k) override
    {
        const auto lock = Logged(QStringLiteral("Name(%1)").arg(k));
        return Answered(true, Sheets()[k - 1].name);
    }
    ReportedFailure ExportSheet(int k, const QString& pdf) override
    {
        const auto lock = Logged(QStringLiteral("ExportSheet(%1, %2)").arg(k).arg(pdf));
        if (!Sheets()[k - 1].prints)
            return {FailureKind::NothingToPrint, "the worksheet has nothing to print"};
        return Export(pdf);
    }
    ReportedFailure ExportWorkbook(const QString& pdf) override
    {
        const auto lock = Logged("ExportWorkbook(" + pdf + ')');
        const ReportedFailure exported = Export(pdf);
        // A workbook's PDF is written without the sheets left out, and says so.
        for (const FakeSheet& sheet : Sheets())
            if (!sheet.loaded)
                return {FailureKind::SheetNameInvalid, "sheets left out"};
        return exported;
    }
    void Close() override
    {
        const auto lock = Logged("Close");
        open.clear();
    }
    void Quit() override { const auto lock = Logged("Quit"); }

private:
    std::unique_lock<std::recursive_mutex> Logged(const QString& call)
    {
        std::unique_lock<std::recursive_mutex> lock(books.mutex);
        *log << call;
        return lock;
    }
    const QList<FakeSheet>& Sheets() const { return books.workbooks[open].sheets; }
    static ReportedFailure Failed(const char* message) { return {FailureKind::Reported, message}; }
    template <typename T>
    static Answer<T> Answered(bool done, T value, ReportedFailure failure = ReportedFailure())
    {
        return {{done, std::move(failure)}, std::move(value)};
    }
    ReportedFailure Export(const QString& pdf) const
    {
        if (books.exportsWrite) {
            // Renamed into place, as the office's are: a new file each time, however quick.
            QSaveFile file(pdf);
            if (file.open(QIODevice::WriteOnly)) {
                file.write("%PDF-1.4 stand-in");
                file.commit();
            }
        }
        return ReportedFailure();
    }

    FakeWorkbooks& books;
    CallLog log;
    QString open;
};

// The program's applications for a test: each New() makes a FakeApplication (or, given
// makeApplication, what that makes) over the described workbooks, and keeps its call log.
class FakeApplications final : public SpreadsheetApplications
{
public:
    FakeWorkbooks books;
    // The applications made, in order, by their call logs.
    std::vector<CallLog> made;
    std::vector<ApplicationScope> scopes;
    QString unsandboxedBecause;
    QString temporaryFolderProblem;
    int stops = 0;
    std::function<std::unique_ptr<SpreadsheetApplication>(FakeWorkbooks&, CallLog)> makeApplication;

    // Every call of every application, in the order they were made.
    QStringList Calls()
    {
        const std::lock_guard<std::recursive_mutex> lock(books.mutex);
        QStringList calls;
        for (const CallLog& log : made)
            calls += *log;
        return calls;
    }

    std::unique_ptr<SpreadsheetApplication> New(const ApplicationScope& scope) override
    {
        const std::lock_guard<std::recursive_mutex> lock(books.mutex);
        made.push_back(std::make_shared<QStringList>());
        scopes.push_back(scope);
        if (makeApplication)
            return makeApplication(books, made.back());
        return std::make_unique<FakeApplication>(books, made.back());
    }
    QString UnsandboxedBecause() override { return unsandboxedBecause; }
    QString TemporaryFolderProblem() override { return temporaryFolderProblem; }
    int RemoveLeftTemporaryPdfs(const QString&) override { return 0; }
    bool EndAllNow() override { return false; }
    bool StopAllNow() override
    {
        ++stops;
        return false;
    }
    void AllowStarts() override {}
};
