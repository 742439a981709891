#include "automation/spreadsheetserver.h"

#include "automation/excelmapping.h"
#include "automation/failureclassification.h"
#include "automation/listedsheets.h"
#include "automation/loadpolicy.h"
#include "automation/loadrefusal.h"
#include "automation/officesession.h"
#include "automation/officetemporaryfiles.h"
#include "automation/packagesheets.h"
#include "automation/sheetpaper.h"
#include "automation/temporarypdf.h"
#include "automation/unohelpers.h"
#include "support/calltimelimit.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

// A fresh office after this many workbooks keeps a long run's memory flat.
constexpr int DefaultRestartInterval = 200;

} // namespace

struct SpreadsheetServer::Impl
{
    Impl(std::chrono::milliseconds callLimit, int restartInterval, PdfKind pdfKind,
         const OfficeConfinement& confinement, Paper regionPaper)
        : session(callLimit, restartInterval, confinement), pdfKind(pdfKind),
          regionPaper(regionPaper)
    {
    }

    OfficeSession session;
    PdfKind pdfKind;
    Paper regionPaper;
};

SpreadsheetServer::SpreadsheetServer(std::chrono::milliseconds callLimit, int restartInterval,
                                     PdfKind pdfKind, const OfficeConfinement& confinement,
                                     Paper regionPaper)
    : d(std::make_unique<Impl>(callLimit,
                               restartInterval > 0 ? restartInterval : DefaultRestartInterval,
                               pdfKind, confinement, regionPaper))
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
    return d->session.Start();
}

int SpreadsheetServer::Open(const QString& path)
{
    const ServerFailure refusal = RefusalBeforeLoading(path);
    if (refusal.kind != FailureKind::None) {
        d->session.failure = refusal;
        return 0;
    }
    d->session.ReplaceOfficeIfDue();
    // Loading is where a workbook's memory grows most.
    d->session.BeginWorkbook();
    int opened = 0;
    d->session.Call([&] {
        const Reference<css::sheet::XSpreadsheetDocument> workbook =
            LoadWorkbook(d->session.office().desktop, path, d->session.failure);
        if (!workbook.is())
            return;
        // The office leaves out, without a word, sheets whose names it does not take: the
        // workbook's own list tells which.
        const Reference<css::frame::XModel> model(workbook, UNO_QUERY_THROW);
        const QStringList listed = SheetsListedInPackage(d->session.office().context, model, path);
        SetPaperOfRegion(d->session.office().context, model, path, d->regionPaper);
        opened = d->session.Add(
            workbook, listed.isEmpty()
                          ? std::map<int, QString>()
                          : SheetsNotLoaded(listed, Reference<css::container::XIndexAccess>(
                                                        workbook->getSheets(), UNO_QUERY_THROW)
                                                        ->getCount()));
    });
    d->session.EndWorkbook();
    return opened;
}

int SpreadsheetServer::SheetCount(int workbook)
{
    int count = -1;
    d->session.Call([&] { count = d->session.SheetCount(workbook); });
    return count;
}

bool SpreadsheetServer::HasSheet(int workbook, int sheet)
{
    // One the office left out is there by its name only.
    if (d->session.NotLoadedName(workbook, sheet))
        return true;
    return d->session.Call([&] { d->session.Sheet(workbook, sheet); });
}

bool SpreadsheetServer::UsedRange(int workbook, int sheet, UsedRangeInfo& range)
{
    return d->session.Call([&] { range = UsedRangeOf(d->session.Sheet(workbook, sheet)); });
}

bool SpreadsheetServer::CellValue(int workbook, int sheet, int row, int column, QVariant& value)
{
    return d->session.Call([&] {
        if (row < 1 || column < 1)
            throw ServerFailure{FailureKind::Reported, QStringLiteral("no such cell")};
        value = ValueOf(d->session.Sheet(workbook, sheet)->getCellByPosition(column - 1, row - 1));
    });
}

int SpreadsheetServer::ShapeCount(int workbook, int sheet)
{
    int count = -1;
    d->session.Call([&] {
        d->session.Sheet(workbook, sheet); // one that exists
        count =
            ShapeCountOf(d->session.Workbook(workbook), d->session.LoadedSheet(workbook, sheet));
    });
    return count;
}

bool SpreadsheetServer::SheetName(int workbook, int sheet, QString& name)
{
    if (const QString* notLoaded = d->session.NotLoadedName(workbook, sheet)) {
        name = *notLoaded;
        return true;
    }
    return d->session.Call([&] { name = NameOf(d->session.Sheet(workbook, sheet)); });
}

bool SpreadsheetServer::SheetVisibility(int workbook, int sheet, int& visibility)
{
    return d->session.Call([&] { visibility = VisibilityOf(d->session.Sheet(workbook, sheet)); });
}

bool SpreadsheetServer::ExportPdf(int workbook, int sheet, const QString& pdfPath)
{
    const QFileInfo target(pdfPath);
    QDir().mkpath(target.absolutePath());
    // The office words a full disk in many ways (with two offices even "General Code:13"), and
    // some not at all: the file system says which.
    const auto failed = [&] {
        const FailureKind full =
            KindOfFullFileSystem(QFile::encodeName(target.absolutePath()).toStdString());
        if (full != FailureKind::None)
            d->session.failure.kind = full;
        return false;
    };
    TemporaryPdf written(target.absolutePath());
    if (written.path().isEmpty()) {
        d->session.failure = written.failure();
        return failed();
    }
    const OfficeTemporaryFiles officeFiles(QFile::encodeName(target.absolutePath()).toStdString());
    const bool exported = d->session.Call([&] {
        const Reference<css::sheet::XSpreadsheetDocument> book = d->session.Workbook(workbook);
        StorePdf(book,
                 sheet > 0 ? d->session.Sheet(workbook, sheet)
                           : Reference<css::sheet::XSpreadsheet>(),
                 sheet > 0 ? d->session.LoadedSheet(workbook, sheet) : 0,
                 d->pdfKind == PdfKind::ArchivalPdfA2b, d->session.office().pdfSettings,
                 FileUrl(written.path()));
    });
    if (!exported) {
        // An office killed during the export leaves its own temporary file beside the PDF.
        if (d->session.ProcessId() < 0)
            officeFiles.RemoveNew();
        return failed();
    }
    if (QFileInfo(written.path()).size() == 0) {
        d->session.failure = {FailureKind::NoPdfWritten, QStringLiteral("no PDF was written")};
        return failed();
    }
    if (!written.replace(target.absoluteFilePath())) {
        d->session.failure = written.failure();
        return failed();
    }
    // The workbook's PDF is written without the sheets the office left out: the run learns of
    // them here, and asks for each.
    if (sheet == 0 && !d->session.AllLoaded(workbook)) {
        d->session.failure = {FailureKind::SheetNameInvalid,
                              QStringLiteral("the PDF leaves out the sheets that the spreadsheet "
                                             "application did not load")};
        return false;
    }
    return true;
}

bool SpreadsheetServer::Close(int workbook)
{
    Reference<css::sheet::XSpreadsheetDocument> removed;
    if (!d->session.Remove(workbook, removed)) {
        d->session.EndWorkbook();
        d->session.failure = {FailureKind::OfficeStopped,
                              QStringLiteral("the workbook is no longer open")};
        return false;
    }
    // The query goes to the office too: inside the guard, so that an office gone since the last
    // call fails the close instead of throwing out of it.
    const bool closed = d->session.Call([&] {
        const Reference<css::util::XCloseable> closeable(removed, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
    });
    d->session.EndWorkbook();
    return closed;
}

void SpreadsheetServer::Quit()
{
    d->session.Quit();
}

const ServerFailure& SpreadsheetServer::LastFailure() const
{
    return d->session.failure;
}

long SpreadsheetServer::ProcessId() const
{
    return d->session.ProcessId();
}
