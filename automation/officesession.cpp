#include "automation/officesession.h"

#include "automation/pdfexport.h"
#include "automation/startfailure.h"
#include "automation/unoclient.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <thread>

namespace {

constexpr long long MemoryLimitBytes = 1LL << 30;

} // namespace

OfficeSession::OfficeSession(std::chrono::milliseconds callLimit, int restartInterval,
                             const OfficeConfinement& confinement)
    : limit_(callLimit), restartInterval_(restartInterval), confinement_(confinement),
      watchdog_(confinement.memoryCeiling, confinement.workbookLimit)
{
}

bool OfficeSession::Start()
{
    return !quit_ && (office_ || StartOffice());
}

ReportedFailure OfficeSession::OfficeFailure(const QString& message)
{
    if (message.isEmpty())
        return {FailureKind::Reported,
                QStringLiteral("the spreadsheet application reported an error")};
    return {KindOfOfficeMessage(message.toStdString()), message};
}

ReportedFailure OfficeSession::NoAnswer(const QString& message) const
{
    const double seconds = limit_.count() / 1000.0;
    return {FailureKind::NoAnswer, message.arg(seconds), seconds};
}

ReportedFailure OfficeSession::Exceeded(OfficeWatchdog::Limit limit) const
{
    if (limit == OfficeWatchdog::Limit::Time) {
        const double seconds = watchdog_.WorkbookLimit().count() / 1000.0;
        return {FailureKind::WorkbookTooLong,
                QStringLiteral("the workbook took more than %1 s; the spreadsheet application was "
                               "stopped")
                    .arg(seconds),
                seconds};
    }
    const double gigabytes = static_cast<double>(watchdog_.MemoryCeiling()) / (1LL << 30);
    return {FailureKind::MemoryExceeded,
            QStringLiteral("the workbook needed more than %1 GB of memory; the spreadsheet "
                           "application was stopped")
                .arg(gigabytes),
            gigabytes};
}

bool OfficeSession::StartOffice()
{
    if (LaunchOffice())
        return true;
    failure.kind = KindOfFailedStart(failure.kind, OfficeProcess::Installed(),
                                     std::filesystem::temp_directory_path().string());
    return false;
}

bool OfficeSession::LaunchOffice()
{
    auto started = std::make_unique<Office>();
    started->process.ShareSetUpProfile(setUpProfile_);
    started->process.Confine(confinement_);
    SystemFailure notStarted;
    if (!started->process.Start(notStarted)) {
        failure = {notStarted.kind, QString::fromStdString(notStarted.message)};
        return false;
    }
    // The handshake has the same limit as a call: an office that accepts the connection but
    // never answers is killed like a hung call.
    ArmedCall armed(watchdog_, started->process, limit_);
    bool connected = false;
    try {
        connected = Connect(*started);
        if (connected) {
            started->desktop = css::frame::Desktop::create(started->context);
            started->pdfSettings = ConfiguredPdfSettings(started->context);
        }
    } catch (const css::uno::Exception& e) {
        connected = false;
        failure = {FailureKind::CannotStart,
                   QStringLiteral("cannot reach the spreadsheet application: ") +
                       FromUno(e.Message)};
    }
    if (armed.Expired()) {
        connected = false;
        failure = NoAnswer(QStringLiteral("no answer within %1 s at start; the spreadsheet "
                                          "application was stopped"));
    }
    if (!connected) {
        started->process.Kill();
        Release(*started);
        return false;
    }
    started->process.NoteSocketFiles();
    office_ = std::move(started);
    watchdog_.Watch(&office_->process);
    return true;
}

// Connects to the office just started, waiting for it to accept: false, with a reason, when it
// ends first.
bool OfficeSession::Connect(Office& started)
{
    const Reference<css::connection::XConnector> connector =
        css::connection::Connector::create(LocalContext());
    const OUString where =
        OUString::createFromAscii(started.process.ConnectionDescription().c_str());
    SystemFailure notRestarted;
    while (!started.context.is()) {
        try {
            started.bridge =
                css::bridge::BridgeFactory::create(LocalContext())
                    ->createBridge(OUString(), "urp", connector->connect(where), nullptr);
            started.context.set(started.bridge->getInstance("StarOffice.ComponentContext"),
                                UNO_QUERY_THROW);
        } catch (const css::connection::NoConnectException&) {
            // A fresh profile makes the office ask once to be started again.
            if (!started.process.Running() &&
                (started.process.ExitCode() != OfficeProcess::RestartExitCode ||
                 !started.process.Start(notRestarted))) {
                failure = {FailureKind::CannotStart,
                           QStringLiteral("the spreadsheet application ended at start "
                                          "(exit code %1)")
                               .arg(started.process.ExitCode())};
                // A second start that failed says why.
                if (!notRestarted.message.empty())
                    failure.message += "; " + QString::fromStdString(notRestarted.message);
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    return true;
}

// Lets go of a dead or ending office's objects and disposes its bridge, which waits for the
// bridge's threads, so that nothing of it outlives the office.
void OfficeSession::Release(Office& office)
{
    office.desktop.clear();
    office.context.clear();
    const Reference<css::lang::XComponent> bridge(office.bridge, UNO_QUERY);
    office.bridge.clear();
    if (bridge.is())
        bridge->dispose();
}

void OfficeSession::DropOffice()
{
    watchdog_.Watch(nullptr);
    office_->process.Kill();
    sheets_.clear();
    sheetLists_.clear();
    notLoaded_.clear();
    workbooks_.clear();
    Release(*office_);
    office_->process.Stop(std::chrono::milliseconds(0));
    office_.reset();
}

void OfficeSession::ReplaceOfficeIfDue()
{
    // Only between workbooks: none of the office's is open then.
    if (office_ && workbooks_.empty() &&
        (office_->opened >= restartInterval_ ||
         office_->process.ResidentBytes() > MemoryLimitBytes))
        QuitOffice();
}

void OfficeSession::Quit()
{
    if (quit_)
        return;
    quit_ = true;
    if (office_)
        QuitOffice();
    setUpProfile_.Remove();
}

// Ends the office as a quit does; the next call starts a fresh one.
void OfficeSession::QuitOffice()
{
    watchdog_.Watch(nullptr);
    sheets_.clear();
    sheetLists_.clear();
    notLoaded_.clear();
    try {
        ArmedCall armed(watchdog_, office_->process,
                        std::min(limit_, std::chrono::milliseconds(10000)));
        for (auto& [number, workbook] : workbooks_) {
            const Reference<css::util::XCloseable> closeable(workbook, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        }
        workbooks_.clear();
        office_->desktop->terminate();
    } catch (const css::uno::Exception&) {
        // Terminating disposes the bridge under the call: the office is going either way.
    }
    workbooks_.clear();
    office_->process.Stop(std::chrono::milliseconds(10000));
    Release(*office_);
    office_.reset();
}

int OfficeSession::Add(const Reference<css::sheet::XSpreadsheetDocument>& workbook,
                       std::map<int, QString> notLoaded)
{
    const int number = ++lastWorkbook_;
    workbooks_[number] = workbook;
    if (!notLoaded.empty())
        notLoaded_[number] = std::move(notLoaded);
    ++office_->opened;
    return number;
}

Reference<css::sheet::XSpreadsheetDocument> OfficeSession::Workbook(int workbook)
{
    const auto found = workbooks_.find(workbook);
    if (found == workbooks_.end())
        throw ReportedFailure{FailureKind::OfficeStopped,
                              QStringLiteral("the workbook is no longer open (the spreadsheet "
                                             "application was stopped)")};
    return found->second;
}

Reference<css::sheet::XSpreadsheet> OfficeSession::Sheet(int workbook, int sheet)
{
    Reference<css::sheet::XSpreadsheet>& found = sheets_[{workbook, sheet}];
    if (found.is())
        return found;
    found.set(Sheets(workbook)->getByIndex(LoadedSheet(workbook, sheet) - 1), UNO_QUERY_THROW);
    return found;
}

int OfficeSession::SheetCount(int workbook)
{
    const auto notLoaded = notLoaded_.find(workbook);
    return Sheets(workbook)->getCount() +
           (notLoaded == notLoaded_.end() ? 0 : static_cast<int>(notLoaded->second.size()));
}

int OfficeSession::LoadedSheet(int workbook, int sheet)
{
    if (sheet < 1 || sheet > SheetCount(workbook))
        throw ReportedFailure{FailureKind::Reported,
                              QStringLiteral("the workbook has no worksheet %1").arg(sheet)};
    const auto notLoaded = notLoaded_.find(workbook);
    if (notLoaded == notLoaded_.end())
        return sheet;
    if (notLoaded->second.count(sheet))
        throw ReportedFailure{FailureKind::SheetNameInvalid,
                              QStringLiteral("the spreadsheet application did not load the sheet "
                                             "\"%1\": it does not take its name")
                                  .arg(notLoaded->second.at(sheet))};
    // Those left out before it in the list are not among the office's.
    return sheet - static_cast<int>(std::distance(notLoaded->second.begin(),
                                                  notLoaded->second.lower_bound(sheet)));
}

const QString* OfficeSession::NotLoadedName(int workbook, int sheet) const
{
    const auto notLoaded = notLoaded_.find(workbook);
    if (notLoaded == notLoaded_.end())
        return nullptr;
    const auto found = notLoaded->second.find(sheet);
    return found == notLoaded->second.end() ? nullptr : &found->second;
}

Reference<css::container::XIndexAccess> OfficeSession::Sheets(int workbook)
{
    Reference<css::container::XIndexAccess>& found = sheetLists_[workbook];
    if (!found.is())
        found.set(Workbook(workbook)->getSheets(), UNO_QUERY_THROW);
    return found;
}

bool OfficeSession::Remove(int workbook, Reference<css::sheet::XSpreadsheetDocument>& removed)
{
    const auto found = workbooks_.find(workbook);
    if (found == workbooks_.end())
        return false;
    removed = found->second;
    workbooks_.erase(found);
    sheets_.erase(sheets_.lower_bound({workbook, 0}), sheets_.lower_bound({workbook + 1, 0}));
    sheetLists_.erase(workbook);
    notLoaded_.erase(workbook);
    return true;
}
