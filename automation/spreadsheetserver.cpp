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

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QFileInfo>

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

    // Whether a sheet of the open workbook is there; one the office left out is there by its
    // name only.
    bool HasSheet(int sheet)
    {
        return session.NotLoadedName(workbook, sheet) ||
               session.Call([&] { session.Sheet(workbook, sheet); });
    }
    // A call's result: the session's failure when it failed.
    CallResult Result(bool done) const
    {
        return {done, done ? ReportedFailure() : session.failure};
    }
    template <typename T> Answer<T> Result(bool done, T value) const
    {
        return {Result(done), std::move(value)};
    }
    ReportedFailure Export(int sheet, const QString& pdfPath);

    OfficeSession session;
    PdfKind pdfKind;
    Paper regionPaper;
    int workbook = 0; // the open one, as the session numbers them; 0: none
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

CallResult SpreadsheetServer::Bind()
{
    return d->Result(d->session.Start());
}

CallResult SpreadsheetServer::Open(const QString& path)
{
    d->workbook = 0;
    const ReportedFailure refusal = RefusalBeforeLoading(path);
    if (refusal.kind != FailureKind::None)
        return {false, refusal};
    OfficeSession& session = d->session;
    session.ReplaceOfficeIfDue();
    // Loading is where a workbook's memory grows most.
    session.BeginWorkbook();
    session.Call([&] {
        const Reference<css::sheet::XSpreadsheetDocument> workbook =
            LoadWorkbook(session.office().desktop, path, session.failure);
        if (!workbook.is())
            return;
        // The office leaves out, without a word, sheets whose names it does not take: the
        // workbook's own list tells which.
        const Reference<css::frame::XModel> model(workbook, UNO_QUERY_THROW);
        const QStringList listed = SheetsListedInPackage(session.office().context, model, path);
        SetPaperOfRegion(session.office().context, model, path, d->regionPaper);
        d->workbook = session.Add(
            workbook, listed.isEmpty()
                          ? std::map<int, QString>()
                          : SheetsNotLoaded(listed, Reference<css::container::XIndexAccess>(
                                                        workbook->getSheets(), UNO_QUERY_THROW)
                                                        ->getCount()));
    });
    session.EndWorkbook();
    return d->Result(d->workbook != 0);
}

Answer<int> SpreadsheetServer::SheetCount()
{
    int count = 0;
    const bool counted = d->session.Call([&] { count = d->session.SheetCount(d->workbook); });
    return d->Result(counted, count);
}

Answer<bool> SpreadsheetServer::Hidden(int sheet)
{
    if (!d->HasSheet(sheet))
        return d->Result(false, false);
    // Excel's Visible: -1 visible, 0 hidden, 2 very hidden. A sheet the office left out is
    // reached, and tells so here.
    int visibility = -1;
    const bool read =
        d->session.Call([&] { visibility = VisibilityOf(d->session.Sheet(d->workbook, sheet)); });
    Answer<bool> answer = d->Result(read, visibility == 0 || visibility == 2);
    answer.done = true;
    return answer;
}

Answer<bool> SpreadsheetServer::Blank(int sheet)
{
    OfficeSession& session = d->session;
    UsedRangeInfo range;
    if (!d->HasSheet(sheet) ||
        !session.Call([&] { range = UsedRangeOf(session.Sheet(d->workbook, sheet)); }))
        return d->Result(false, false);
    if (range.rows != 1 || range.columns != 1)
        return d->Result(true, false);
    // A value that cannot be read counts as empty, the drawings then deciding, as Excel's answer
    // would be empty too.
    QVariant value;
    const bool read = session.Call([&] {
        value = ValueOf(
            session.Sheet(d->workbook, sheet)->getCellByPosition(range.column - 1, range.row - 1));
    });
    Answer<bool> answer = d->Result(true, false);
    if (!read)
        answer.failure = session.failure;
    if (!value.toString().isEmpty())
        return answer;
    // The used range leaves drawings out; a sheet whose drawings cannot be counted has some.
    int shapes = -1;
    if (!session.Call([&] {
            session.Sheet(d->workbook, sheet); // one that exists
            shapes = ShapeCountOf(session.Workbook(d->workbook),
                                  session.LoadedSheet(d->workbook, sheet));
        }))
        answer.failure = session.failure;
    answer.value = shapes == 0;
    return answer;
}

Answer<QString> SpreadsheetServer::Name(int sheet)
{
    if (const QString* notLoaded = d->session.NotLoadedName(d->workbook, sheet))
        return d->Result(true, *notLoaded);
    QString name;
    const bool read = d->session.Call([&] { name = NameOf(d->session.Sheet(d->workbook, sheet)); });
    return d->Result(read, name);
}

ReportedFailure SpreadsheetServer::ExportSheet(int sheet, const QString& pdf)
{
    if (!d->HasSheet(sheet))
        return d->session.failure;
    return d->Export(sheet, pdf);
}

ReportedFailure SpreadsheetServer::ExportWorkbook(const QString& pdf)
{
    return d->Export(0, pdf);
}

ReportedFailure SpreadsheetServer::Impl::Export(int sheet, const QString& pdfPath)
{
    // Its folder is the run's to make, with the workbook's.
    const QFileInfo target(pdfPath);
    // The office words a full disk in many ways (with two offices even "General Code:13"), and
    // some not at all: the file system says which.
    const auto failed = [&](ReportedFailure failure) {
        const FailureKind full =
            KindOfFullFileSystem(QFile::encodeName(target.absolutePath()).toStdString());
        if (full != FailureKind::None)
            failure.kind = full;
        return failure;
    };
    TemporaryPdf written(target.absolutePath());
    if (written.path().isEmpty())
        return failed(written.failure());
    const OfficeTemporaryFiles officeFiles(QFile::encodeName(target.absolutePath()).toStdString());
    const bool exported = session.Call([&] {
        StorePdf(session.Workbook(workbook),
                 sheet > 0 ? session.Sheet(workbook, sheet) : Reference<css::sheet::XSpreadsheet>(),
                 sheet > 0 ? session.LoadedSheet(workbook, sheet) : 0, pdfKind == PdfKind::Archival,
                 session.office().pdfSettings, FileUrl(written.path()));
    });
    if (!exported) {
        // An office killed during the export leaves its own temporary file beside the PDF.
        if (session.ProcessId() < 0)
            officeFiles.RemoveNew();
        return failed(session.failure);
    }
    if (QFileInfo(written.path()).size() == 0)
        return failed({FailureKind::NoPdfWritten, QStringLiteral("no PDF was written")});
    if (!written.replace(target.absoluteFilePath()))
        return failed(written.failure());
    // The workbook's PDF is written without the sheets the office left out: the run learns of
    // them here, and asks for each.
    if (sheet == 0 && !session.AllLoaded(workbook))
        return {FailureKind::SheetNameInvalid,
                QStringLiteral("the PDF leaves out the sheets that the spreadsheet application "
                               "did not load")};
    return ReportedFailure();
}

void SpreadsheetServer::Close()
{
    Reference<css::sheet::XSpreadsheetDocument> removed;
    const bool open = d->session.Remove(d->workbook, removed);
    d->workbook = 0;
    // The query goes to the office too: inside the guard, so that an office gone since the last
    // call fails the close instead of throwing out of it. A failed close leaves nothing to tell.
    if (open)
        d->session.Call([&] {
            const Reference<css::util::XCloseable> closeable(removed, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        });
    d->session.EndWorkbook();
}

void SpreadsheetServer::Quit()
{
    d->session.Quit();
}

long SpreadsheetServer::ProcessId() const
{
    return d->session.ProcessId();
}
