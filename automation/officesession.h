#pragma once

#include "automation/failureclassification.h"
#include "automation/officeconfinement.h"
#include "automation/officeprocess.h"
#include "automation/officewatchdog.h"
#include "automation/unohelpers.h"
#include "convert/reportedfailure.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <utility>
#include <vector>

// One running office and what we hold of it.
struct Office
{
    OfficeProcess process;
    int opened = 0; // workbooks opened by this office
    // Ours to dispose once the office is gone: left to itself, the bridge of a killed office is
    // torn down by its own threads some time later.
    css::uno::Reference<css::bridge::XBridge> bridge;
    css::uno::Reference<css::uno::XComponentContext> context;
    css::uno::Reference<css::frame::XDesktop2> desktop;
    std::vector<css::beans::PropertyValue> pdfSettings; // as the office is configured
};

// The office behind one server and the workbooks open in it: an office starts when a call needs
// one; every call into it has a time limit, and every workbook a time limit and a memory ceiling;
// an office that exceeds one or dies is killed, fails its call and leaves its workbooks behind,
// and the next call starts a fresh office. Workbooks are numbered, never reusing a number. All
// calls come from one thread.
class OfficeSession
{
public:
    // restartInterval: workbooks after which the office is replaced between workbooks.
    OfficeSession(std::chrono::milliseconds callLimit, int restartInterval,
                  const OfficeConfinement& confinement);
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    // Starts an office unless one runs; false when none can start (the reason in failure, unless
    // the session has quit).
    bool Start();

    // Runs body against the office under the time limit. On an exception the reason is kept: a
    // ReportedFailure that body throws as it is, the office's own classified by its error code;
    // when the limit expired or the office died, that office is gone for good.
    template <typename Body> bool Call(Body&& body);

    // Between workbooks: replaces an office that has opened restartInterval workbooks or holds
    // more than 1 GB, as its memory grows with every document it has loaded.
    void ReplaceOfficeIfDue();

    // A workbook's work, from before it opens to its closing (or its failed opening): what the
    // workbook's time limit and memory ceiling watch.
    void BeginWorkbook() { watchdog_.BeginWorkbook(); }
    void EndWorkbook()
    {
        if (workbooks_.empty())
            watchdog_.EndWorkbook();
    }

    // Ends the office and the session; later calls fail.
    void Quit();

    // The running office: for the body of a Call().
    Office& office() { return *office_; }
    long ProcessId() const { return office_ ? office_->process.ProcessId() : -1; }

    // The workbooks open in the office. Workbook() and Sheet() throw when there is none such.
    // notLoaded: the sheets the workbook lists that the office left out, by their places in its
    // list. Sheets are numbered as the workbook lists them, those left out included: one of them
    // has a name (NotLoadedName) and nothing else, Sheet() and LoadedSheet() throw
    // SheetNameInvalid for it.
    int Add(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& workbook,
            std::map<int, QString> notLoaded);
    css::uno::Reference<css::sheet::XSpreadsheetDocument> Workbook(int workbook);
    css::uno::Reference<css::sheet::XSpreadsheet> Sheet(int workbook, int sheet);
    // A workbook's sheets as the office loaded them, looked up once.
    css::uno::Reference<css::container::XIndexAccess> Sheets(int workbook);
    // The sheets the workbook lists, those the office left out included.
    int SheetCount(int workbook);
    // The office's number (1-based) of a sheet the workbook lists.
    int LoadedSheet(int workbook, int sheet);
    // The name the workbook gives a sheet the office left out; null for any other.
    const QString* NotLoadedName(int workbook, int sheet) const;
    bool AllLoaded(int workbook) const { return notLoaded_.count(workbook) == 0; }
    // Forgets a workbook and gives it back to be closed; false when it is not open.
    bool Remove(int workbook, css::uno::Reference<css::sheet::XSpreadsheetDocument>& removed);

    // Why the last call that failed failed; the server sets it for its own refusals too.
    ReportedFailure failure;

private:
    // The office's message, classified by its error code.
    static ReportedFailure OfficeFailure(const QString& message);
    // The limit expired: message with %1 for its seconds.
    ReportedFailure NoAnswer(const QString& message) const;
    // The workbook's limit that the watchdog found exceeded.
    ReportedFailure Exceeded(OfficeWatchdog::Limit limit) const;
    // Starts the office; on failure, says why as the user can act on it.
    bool StartOffice();
    bool LaunchOffice();
    bool Connect(Office& started);
    static void Release(Office& office);
    void DropOffice();
    void QuitOffice();

    std::chrono::milliseconds limit_;
    int restartInterval_;
    OfficeConfinement confinement_;
    // Every office this session starts in turn starts from the first one's set-up profile.
    // Before office_, so that it goes after it.
    SetUpProfile setUpProfile_;
    std::unique_ptr<Office> office_;
    std::map<int, css::uno::Reference<css::sheet::XSpreadsheetDocument>> workbooks_;
    // Sheets already looked up, by workbook and index, and each workbook's list of them: a run
    // asks for each several times, and every round trip to the office costs about 0.1 ms.
    std::map<std::pair<int, int>, css::uno::Reference<css::sheet::XSpreadsheet>> sheets_;
    std::map<int, css::uno::Reference<css::container::XIndexAccess>> sheetLists_;
    std::map<int, std::map<int, QString>> notLoaded_;
    int lastWorkbook_ = 0;
    bool quit_ = false;
    // Last: its thread may touch office_, so it stops first.
    OfficeWatchdog watchdog_;
};

template <typename Body> bool OfficeSession::Call(Body&& body)
{
    if (quit_) {
        failure = {FailureKind::CannotStart,
                   QStringLiteral("the spreadsheet application has quit")};
        return false;
    }
    if (!office_ && !StartOffice())
        return false;
    bool disposed = false;
    ArmedCall armed(watchdog_, office_->process, limit_);
    try {
        body();
        if (!armed.Expired())
            return true;
    } catch (const ReportedFailure& refused) {
        failure = refused;
    } catch (const css::lang::DisposedException&) {
        disposed = true;
    } catch (const css::uno::Exception& e) {
        failure = OfficeFailure(FromUno(e.Message));
    }
    const bool expired = armed.Expired();
    const OfficeWatchdog::Limit exceeded = watchdog_.TakeExceeded();
    if (exceeded != OfficeWatchdog::Limit::None) {
        failure = Exceeded(exceeded);
        DropOffice();
    } else if (expired) {
        failure = NoAnswer(QStringLiteral("no answer within %1 s; the spreadsheet application was "
                                          "stopped"));
        DropOffice();
    } else if (disposed || !office_->process.Running()) {
        failure = {FailureKind::OfficeEnded,
                   QStringLiteral("the spreadsheet application ended unexpectedly")};
        DropOffice();
    }
    return false;
}
