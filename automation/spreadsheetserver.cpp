#include "automation/spreadsheetserver.h"

#include "automation/calldeadline.h"
#include "automation/officeprocess.h"
#include "automation/pdfexport.h"
#include "automation/temporarypdf.h"
#include "support/calltimelimit.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/FilterOptionsRequest.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XInteractionFilterOptions.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

OUString ToUno(const QString& text)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

QString FromUno(const OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

OUString FileUrl(const QString& path)
{
    return ToUno(
        QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded()));
}

css::beans::PropertyValue Property(const char* name, const Any& value)
{
    css::beans::PropertyValue property;
    property.Name = OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

Sequence<css::beans::PropertyValue>
Properties(std::initializer_list<css::beans::PropertyValue> list)
{
    return Sequence<css::beans::PropertyValue>(list.begin(), static_cast<sal_Int32>(list.size()));
}

// The client side of UNO, made once per process. The office's bootstrap file must be named
// before the first context is made, or the client crashes on its first remote call.
Reference<css::uno::XComponentContext> LocalContext()
{
    static const Reference<css::uno::XComponentContext>* context = [] {
        // An office that dies while a call writes to it must fail that call, not end the
        // program: the write then gets EPIPE instead of the signal.
        std::signal(SIGPIPE, SIG_IGN);
        rtl::Bootstrap::set("URE_BOOTSTRAP",
                            "vnd.sun.star.pathname:" LO_PROGRAM_DIR "/fundamentalrc");
        return new Reference<css::uno::XComponentContext>(
            cppu::defaultBootstrap_InitialComponentContext());
    }();
    return *context;
}

// Answers the questions the office asks while loading, so that no load ever waits for a
// person: an import's options dialog (HTML tables, text) gets the filter's defaults, as Excel
// opens such files without asking; everything else (passwords, repairs) is aborted.
class UnattendedInteractionHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler>
{
public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override
    {
        const Sequence<Reference<css::task::XInteractionContinuation>> choices =
            request->getContinuations();
        css::document::FilterOptionsRequest options;
        if (request->getRequest() >>= options) {
            for (const auto& choice : choices) {
                Reference<css::document::XInteractionFilterOptions> defaults(choice, UNO_QUERY);
                if (defaults.is()) {
                    defaults->setFilterOptions(options.rProperties);
                    defaults->select();
                    return;
                }
            }
        }
        for (const auto& choice : choices) {
            Reference<css::task::XInteractionAbort> abort(choice, UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }
};

// What only the office's plain-text import would read is no workbook: Excel refuses it.
bool IsTextImport(const Reference<css::frame::XModel>& model)
{
    const Sequence<css::beans::PropertyValue> args = model->getArgs();
    for (const auto& arg : args) {
        OUString filter;
        if (arg.Name == "FilterName" && (arg.Value >>= filter))
            return filter.startsWith("Text - txt - csv");
    }
    return false;
}

} // namespace

// A fresh office after this many workbooks, or once it holds more memory than this, keeps a
// long run's memory flat: the office grows with every document it has loaded.
constexpr int DefaultRestartInterval = 200;
constexpr long long MemoryLimitBytes = 1LL << 30;

struct Office
{
    OfficeProcess process;
    int opened = 0; // workbooks opened by this office
    Reference<css::uno::XComponentContext> context;
    Reference<css::frame::XDesktop2> desktop;
    std::vector<css::beans::PropertyValue> pdfSettings; // as the office is configured
};

struct SpreadsheetServer::Impl
{
    Impl(std::chrono::milliseconds callLimit, int restartInterval, PdfKind pdfKind)
        : limit(callLimit), restartInterval(restartInterval), pdfKind(pdfKind), deadline([this] {
              if (const OfficeProcess* process = watched)
                  process->Kill();
          })
    {
    }

    bool StartOffice();
    bool Connect(Office& started);
    void DropOffice();
    // Ends the office as a quit does; the next call starts a fresh one.
    void QuitOffice();
    bool OfficeDueForRestart();
    Reference<css::sheet::XSpreadsheetDocument> Workbook(int workbook);
    Reference<css::sheet::XSpreadsheet> Sheet(int workbook, int sheet);

    // Runs body against the office under the time limit. On an exception the reason is kept;
    // when the limit expired or the office died, that office is gone for good.
    template <typename Body> bool Call(Body&& body)
    {
        if (quit) {
            error = QStringLiteral("the spreadsheet application has quit");
            return false;
        }
        if (!office && !StartOffice())
            return false;
        watched = &office->process;
        bool disposed = false;
        ArmedCall armed(deadline, limit);
        try {
            body();
            if (!armed.Expired())
                return true;
        } catch (const css::lang::DisposedException&) {
            disposed = true;
        } catch (const css::uno::Exception& e) {
            error = FromUno(e.Message);
            if (error.isEmpty())
                error = QStringLiteral("the spreadsheet application reported an error");
        }
        const bool expired = armed.Expired();
        if (expired || disposed || !office->process.Running()) {
            error = expired ? QStringLiteral("no answer within %1 s; the spreadsheet "
                                             "application was stopped")
                                  .arg(limit.count() / 1000.0)
                            : QStringLiteral("the spreadsheet application ended unexpectedly");
            DropOffice();
        }
        return false;
    }

    std::chrono::milliseconds limit;
    int restartInterval;
    PdfKind pdfKind;
    // Every office this server starts in turn starts from the first one's set-up profile. Before
    // office, so that it goes after it.
    SetUpProfile setUpProfile;
    std::unique_ptr<Office> office;
    // The office that an expired limit kills: the one in use, or the one being started.
    std::atomic<const OfficeProcess*> watched{nullptr};
    std::map<int, Reference<css::sheet::XSpreadsheetDocument>> workbooks;
    // Sheets already looked up, by workbook and index: a run asks for each several times, and
    // every lookup costs three round trips to the office.
    std::map<std::pair<int, int>, Reference<css::sheet::XSpreadsheet>> sheets;
    int lastWorkbook = 0;
    bool quit = false;
    QString error;
    // Last: its thread may touch office while armed, so it stops first.
    CallDeadline deadline;
};

bool SpreadsheetServer::Impl::StartOffice()
{
    auto started = std::make_unique<Office>();
    started->process.ShareSetUpProfile(setUpProfile);
    std::string reason;
    if (!started->process.Start(reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    // The handshake has the same limit as a call: an office that accepts the connection but
    // never answers is killed like a hung call.
    watched = &started->process;
    ArmedCall armed(deadline, limit);
    bool connected = false;
    try {
        connected = Connect(*started);
        if (connected) {
            started->desktop = css::frame::Desktop::create(started->context);
            started->pdfSettings = ConfiguredPdfSettings(started->context);
        }
    } catch (const css::uno::Exception& e) {
        connected = false;
        error = QStringLiteral("cannot reach the spreadsheet application: ") + FromUno(e.Message);
    }
    if (armed.Expired()) {
        connected = false;
        error = QStringLiteral("no answer within %1 s at start; the spreadsheet application was "
                               "stopped")
                    .arg(limit.count() / 1000.0);
    }
    if (!connected) {
        watched = nullptr;
        started->process.Kill();
        started->desktop.clear();
        started->context.clear();
        return false;
    }
    started->process.NoteSocketFiles();
    office = std::move(started);
    return true;
}

// Connects to the office just started, waiting for it to accept: false, with a reason, when it
// ends first.
bool SpreadsheetServer::Impl::Connect(Office& started)
{
    const Reference<css::bridge::XUnoUrlResolver> resolver =
        css::bridge::UnoUrlResolver::create(LocalContext());
    const OUString url = OUString::createFromAscii(started.process.ConnectUrl().c_str());
    std::string reason;
    while (!started.context.is()) {
        try {
            started.context.set(resolver->resolve(url), UNO_QUERY_THROW);
        } catch (const css::connection::NoConnectException&) {
            // A fresh profile makes the office ask once to be started again.
            if (!started.process.Running() &&
                (started.process.ExitCode() != OfficeProcess::RestartExitCode ||
                 !started.process.Start(reason))) {
                error = QStringLiteral("the spreadsheet application ended at start "
                                       "(exit code %1)")
                            .arg(started.process.ExitCode());
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    return true;
}

void SpreadsheetServer::Impl::DropOffice()
{
    watched = nullptr;
    office->process.Kill();
    sheets.clear();
    workbooks.clear();
    office->desktop.clear();
    office->context.clear();
    office->process.Stop(std::chrono::milliseconds(0));
    office.reset();
}

Reference<css::sheet::XSpreadsheetDocument> SpreadsheetServer::Impl::Workbook(int workbook)
{
    const auto found = workbooks.find(workbook);
    if (found == workbooks.end())
        throw css::uno::RuntimeException(
            "the workbook is no longer open (the spreadsheet application was stopped)");
    return found->second;
}

Reference<css::sheet::XSpreadsheet> SpreadsheetServer::Impl::Sheet(int workbook, int sheet)
{
    Reference<css::sheet::XSpreadsheet>& found = sheets[{workbook, sheet}];
    if (found.is())
        return found;
    const Reference<css::container::XIndexAccess> all(Workbook(workbook)->getSheets(),
                                                      UNO_QUERY_THROW);
    if (sheet < 1 || sheet > all->getCount())
        throw css::uno::RuntimeException("the workbook has no worksheet " +
                                         OUString::number(sheet));
    found.set(all->getByIndex(sheet - 1), UNO_QUERY_THROW);
    return found;
}

SpreadsheetServer::SpreadsheetServer(std::chrono::milliseconds callLimit, int restartInterval,
                                     PdfKind pdfKind)
    : d(std::make_unique<Impl>(
          callLimit, restartInterval > 0 ? restartInterval : DefaultRestartInterval, pdfKind))
{
}

SpreadsheetServer::~SpreadsheetServer()
{
    Quit();
}

std::chrono::milliseconds SpreadsheetServer::DefaultCallLimit()
{
    std::chrono::milliseconds limit(static_cast<long long>(DefaultCallSeconds * 1000));
    const char* setting = std::getenv("QUILLSHEET_CALL_TIMEOUT");
    if (setting && !ParseCallTimeLimit(setting, limit)) {
        // Every run reads it; once is enough to tell.
        static std::once_flag told;
        std::call_once(told, [] {
            std::fprintf(stderr,
                         "QUILLSHEET_CALL_TIMEOUT is not a number of seconds from %g to %g; "
                         "using %g s\n",
                         MinCallSeconds, MaxCallSeconds, DefaultCallSeconds);
        });
    }
    return limit;
}

bool SpreadsheetServer::Start()
{
    return !d->quit && (d->office || d->StartOffice());
}

int SpreadsheetServer::Open(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile()) {
        d->error = QStringLiteral("the file does not exist");
        return 0;
    }
    // The office would open an empty file as a new workbook; Excel refuses it.
    if (file.size() == 0) {
        d->error = QStringLiteral("the file is empty");
        return 0;
    }
    // Only between workbooks: none of the office's is open then.
    if (d->office && d->workbooks.empty() && d->OfficeDueForRestart())
        d->QuitOffice();
    int opened = 0;
    d->Call([&] {
        const Sequence<css::beans::PropertyValue> args = Properties({
            Property("Hidden", Any(true)),
            Property("ReadOnly", Any(true)),
            Property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
            Property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)),
            Property("InteractionHandler", Any(Reference<css::task::XInteractionHandler>(
                                               new UnattendedInteractionHandler))),
        });
        Reference<css::lang::XComponent> component;
        try {
            component = d->office->desktop->loadComponentFromURL(FileUrl(path), "_blank", 0, args);
        } catch (const css::lang::IllegalArgumentException&) {
            // What the office cannot even detect: reported below like any unreadable file.
        } catch (const css::io::IOException&) {
        }
        const Reference<css::sheet::XSpreadsheetDocument> workbook(component, UNO_QUERY);
        const Reference<css::frame::XModel> model(component, UNO_QUERY);
        if (workbook.is() && model.is() && !IsTextImport(model)) {
            opened = ++d->lastWorkbook;
            d->workbooks[opened] = workbook;
            ++d->office->opened;
            return;
        }
        if (workbook.is())
            d->error = QStringLiteral("not a workbook (only a text import reads it)");
        else
            d->error = QStringLiteral("cannot be opened (damaged, encrypted or not a workbook)");
        const Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
    });
    return opened;
}

int SpreadsheetServer::SheetCount(int workbook)
{
    int count = -1;
    d->Call([&] {
        const Reference<css::container::XIndexAccess> sheets(d->Workbook(workbook)->getSheets(),
                                                             UNO_QUERY_THROW);
        count = sheets->getCount();
    });
    return count;
}

bool SpreadsheetServer::HasSheet(int workbook, int sheet)
{
    return d->Call([&] { d->Sheet(workbook, sheet); });
}

bool SpreadsheetServer::UsedRange(int workbook, int sheet, UsedRangeInfo& range)
{
    return d->Call([&] {
        const Reference<css::sheet::XSheetCellCursor> cursor =
            d->Sheet(workbook, sheet)->createCursor();
        const Reference<css::sheet::XUsedAreaCursor> used(cursor, UNO_QUERY_THROW);
        used->gotoStartOfUsedArea(false);
        used->gotoEndOfUsedArea(true);
        const css::table::CellRangeAddress address =
            Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)
                ->getRangeAddress();
        range.row = address.StartRow + 1;
        range.column = address.StartColumn + 1;
        range.rows = address.EndRow - address.StartRow + 1;
        range.columns = address.EndColumn - address.StartColumn + 1;
    });
}

bool SpreadsheetServer::CellValue(int workbook, int sheet, int row, int column, QVariant& value)
{
    return d->Call([&] {
        if (row < 1 || column < 1)
            throw css::uno::RuntimeException("no such cell");
        const Reference<css::table::XCell> cell =
            d->Sheet(workbook, sheet)->getCellByPosition(column - 1, row - 1);
        const auto text = [&] {
            return FromUno(Reference<css::text::XText>(cell, UNO_QUERY_THROW)->getString());
        };
        switch (cell->getType()) {
        case css::table::CellContentType_EMPTY:
            value = QVariant();
            break;
        case css::table::CellContentType_VALUE:
            value = cell->getValue();
            break;
        case css::table::CellContentType_FORMULA: {
            sal_Int32 result = 0;
            Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)
                ->getPropertyValue("FormulaResultType2") >>= result;
            value = result == css::sheet::FormulaResult::VALUE ? QVariant(cell->getValue())
                                                               : QVariant(text());
            break;
        }
        default:
            value = text();
        }
    });
}

int SpreadsheetServer::ShapeCount(int workbook, int sheet)
{
    int count = -1;
    d->Call([&] {
        d->Sheet(workbook, sheet); // one that exists
        // Pictures, charts, shapes, form controls and comments' boxes alike, as Excel's Shapes.
        const Reference<css::container::XIndexAccess> drawings(
            Reference<css::drawing::XDrawPagesSupplier>(d->Workbook(workbook), UNO_QUERY_THROW)
                ->getDrawPages()
                ->getByIndex(sheet - 1),
            UNO_QUERY_THROW);
        count = drawings->getCount();
    });
    return count;
}

bool SpreadsheetServer::SheetName(int workbook, int sheet, QString& name)
{
    return d->Call([&] {
        name = FromUno(Reference<css::container::XNamed>(d->Sheet(workbook, sheet), UNO_QUERY_THROW)
                           ->getName());
    });
}

bool SpreadsheetServer::SheetVisibility(int workbook, int sheet, int& visibility)
{
    return d->Call([&] {
        bool visible = true;
        Reference<css::beans::XPropertySet>(d->Sheet(workbook, sheet), UNO_QUERY_THROW)
            ->getPropertyValue("IsVisible") >>= visible;
        visibility = visible ? -1 : 0;
    });
}

bool SpreadsheetServer::ExportPdf(int workbook, int sheet, const QString& pdfPath)
{
    const QFileInfo target(pdfPath);
    QDir().mkpath(target.absolutePath());
    TemporaryPdf written(target.absolutePath());
    if (written.path().isEmpty()) {
        d->error = written.error();
        return false;
    }
    const bool exported = d->Call([&] {
        std::vector<css::beans::PropertyValue> filterData;
        // Archives want PDF/A-2b; the standard fonts are then embedded too, as it demands.
        if (d->pdfKind == PdfKind::ArchivalPdfA2b) {
            filterData.push_back(Property("SelectPdfVersion", Any(sal_Int32(2))));
            filterData.push_back(Property("EmbedStandardFonts", Any(true)));
        }
        const Reference<css::sheet::XSpreadsheetDocument> book = d->Workbook(workbook);
        if (sheet > 0) {
            const Reference<css::sheet::XSpreadsheet> worksheet = d->Sheet(workbook, sheet);
            bool visible = true;
            Reference<css::beans::XPropertySet>(worksheet, UNO_QUERY_THROW)
                ->getPropertyValue("IsVisible") >>= visible;
            // Excel refuses to export a hidden sheet; the office would write a blank page.
            if (!visible)
                throw css::uno::RuntimeException("the worksheet is hidden");
            // Excel refuses a sheet with nothing to print; the office would print another's.
            if (!SheetPrints(book, worksheet, sheet - 1))
                throw css::uno::RuntimeException("the worksheet has nothing to print");
            filterData.push_back(Property("Selection", Any(worksheet)));
        }
        // Filter data would make the filter forget the office's own settings: they go with it.
        if (!filterData.empty())
            filterData = OverConfiguredPdfSettings(d->office->pdfSettings, filterData);
        const Reference<css::frame::XStorable> storable(book, UNO_QUERY_THROW);
        storable->storeToURL(
            FileUrl(written.path()),
            Properties({Property("FilterName", Any(OUString("calc_pdf_Export"))),
                        Property("FilterData", Any(Sequence<css::beans::PropertyValue>(
                                                   filterData.data(),
                                                   static_cast<sal_Int32>(filterData.size()))))}));
    });
    if (!exported)
        return false;
    if (QFileInfo(written.path()).size() == 0) {
        d->error = QStringLiteral("no PDF was written");
        return false;
    }
    if (!written.replace(target.absoluteFilePath())) {
        d->error = written.error();
        return false;
    }
    return true;
}

bool SpreadsheetServer::Close(int workbook)
{
    const auto found = d->workbooks.find(workbook);
    if (found == d->workbooks.end()) {
        d->error = QStringLiteral("the workbook is no longer open");
        return false;
    }
    const Reference<css::util::XCloseable> closeable(found->second, UNO_QUERY);
    d->workbooks.erase(found);
    d->sheets.erase(d->sheets.lower_bound({workbook, 0}), d->sheets.lower_bound({workbook + 1, 0}));
    return d->Call([&] {
        if (closeable.is())
            closeable->close(true);
    });
}

void SpreadsheetServer::Quit()
{
    if (d->quit)
        return;
    d->quit = true;
    if (d->office)
        d->QuitOffice();
    d->setUpProfile.Remove();
}

bool SpreadsheetServer::Impl::OfficeDueForRestart()
{
    return office->opened >= restartInterval || office->process.ResidentBytes() > MemoryLimitBytes;
}

void SpreadsheetServer::Impl::QuitOffice()
{
    watched = &office->process;
    sheets.clear();
    try {
        ArmedCall armed(deadline, std::min(limit, std::chrono::milliseconds(10000)));
        for (auto& [number, workbook] : workbooks) {
            const Reference<css::util::XCloseable> closeable(workbook, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        }
        workbooks.clear();
        office->desktop->terminate();
    } catch (const css::uno::Exception&) {
        // Terminating disposes the bridge under the call: the office is going either way.
    }
    workbooks.clear();
    office->desktop.clear();
    office->context.clear();
    watched = nullptr;
    office->process.Stop(std::chrono::milliseconds(10000));
    office.reset();
}

const QString& SpreadsheetServer::LastError() const
{
    return d->error;
}

long SpreadsheetServer::ProcessId() const
{
    return d->office ? d->office->process.ProcessId() : -1;
}
