// quillsheet-cli: a conversion run without a window, for scripts and servers.
#include "cli/progressline.h"
#include "convert/automationobject.h"
#include "convert/mergeobject.h"
#include "convert/parallelrun.h"
#include "convert/runreport.h"
#include "convert/runsettings.h"
#include "convert/stopsignals.h"
#include "convert/updatestate.h"
#include "convert/visibletext.h"
#include "convert/watchrun.h"
#include "support/calltimelimit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextCodec>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

enum ExitCode
{
    Converted = 0,
    SomethingFailed = 1,
    BadArguments = 2
};

// Offices at once by default: one per core, but no more than 4, past which the disk and memory
// gain little.
constexpr int MaxDefaultJobs = 4;
constexpr int MaxJobs = 64;

// Prints text as one line: whatever would break the line or drive the terminal is shown as a
// visible escape.
void PrintLine(FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", VisibleText(text).toLocal8Bit().constData());
    std::fflush(stream);
}

// Prints a text of several lines (a summary, the help), one line for each of its own.
void PrintLines(FILE* stream, const QString& text)
{
    for (const QString& line : text.split('\n'))
        PrintLine(stream, line);
}

struct Options
{
    bool quiet = false;
    QString report; // "-": standard output
    double timeoutSeconds = 0;
    bool pdfA = false;
    // Told of what the run converted once it has ended (--update).
    std::function<void(const RunRecord&)> ended;
};

// Keeps what a run converted for the next --update or --watch run; a state that cannot be
// written only costs the next run time.
void KeepUpdateState(UpdateState& state, const RunRecord& record,
                     const QHash<QString, FileVersion>& versions)
{
    state.Update(record, versions);
    QString error;
    if (!state.Save(error))
        PrintLine(stderr, QStringLiteral("无法保存更新状态：%1：%2").arg(state.FilePath(), error));
}

// Runs run (MergeObject or ParallelRun) as the options say; returns the exit code.
template <typename Run> int Convert(Run& run, const Options& options)
{
    const bool jsonOnly = options.report == QLatin1String("-");
    const bool statusTexts = !options.quiet && !jsonOnly;
    ProgressLine progress;
    QString lastText;
    QObject::connect(&run, &Run::ShowDisposingFile, [&](const QString& text) {
        lastText = text;
        if (!statusTexts)
            return;
        progress.Hide();
        PrintLines(stdout, text);
        progress.Show();
    });
    int done = 0, pdfs = 0, failures = 0;
    run.SetWorkbookDoneHook([&](const WorkbookRecord& workbook) {
        ++done;
        pdfs += workbook.pdfs.size();
        failures += workbook.failures.size();
        const RunRecord& record = run.Record();
        progress.Update(done, record.workbooks.size() - record.UpToDate(), pdfs, failures);
    });
    // The first signal stops the run after the workbook in work; its summary, failures and
    // report still follow. Declared after the run, so that it stops catching before the run goes.
    StopSignals stopSignals;
    QObject::connect(
        &stopSignals, &StopSignals::StopRequested, &run, [&run] { run.RequestStop(); },
        Qt::DirectConnection);
    run.Transform();
    progress.Hide();

    const RunRecord& record = run.Record();
    if (options.ended)
        options.ended(record);
    const int signal = stopSignals.Caught();
    const QString stopLine =
        QStringLiteral("转换已中止：%1个excel文件未转换。").arg(record.NotConverted());
    const QStringList failureLines = record.FailureLines();
    if (!jsonOnly) {
        if (!statusTexts)
            PrintLines(stdout, lastText);
        for (const QString& failure : failureLines)
            PrintLine(stdout, failure);
    }
    if (signal)
        PrintLine(jsonOnly ? stderr : stdout, stopLine);

    int code = signal ? 128 + signal : failureLines.isEmpty() ? Converted : SomethingFailed;
    if (!options.report.isEmpty()) {
        QJsonObject report = JsonReport(record);
        report.insert(QStringLiteral("program"),
                      QStringLiteral("quillsheet-cli " QUILLSHEET_VERSION));
        QJsonObject settings = report.value(QStringLiteral("settings")).toObject();
        settings.insert(QStringLiteral("timeoutSeconds"), options.timeoutSeconds);
        settings.insert(QStringLiteral("pdfa"), options.pdfA);
        report.insert(QStringLiteral("settings"), settings);
        const QByteArray json = QJsonDocument(report).toJson();
        QString error;
        if (jsonOnly) {
            std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
            std::fflush(stdout);
        } else if (!WriteReportFile(options.report, json, error)) {
            PrintLine(stderr, QStringLiteral("报告无法写出：%1：%2").arg(options.report, error));
            if (code == Converted)
                code = SomethingFailed;
        }
    }
    return code;
}

} // namespace

int main(int argc, char** argv)
{
#ifndef Q_OS_WIN
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillsheet-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLSHEET_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts every .xls, .xlsx and .xlsm below SOURCE to PDF: one PDF per non-blank\n"
        "worksheet (or per workbook), below OUTPUT in the same sub-folders (OUTPUT is created "
        "when\n"
        "missing), or beside each workbook. Exit code 0: everything converted; 1: something\n"
        "failed; 2: bad arguments; 128 + the signal's number: stopped by SIGINT, SIGTERM or\n"
        "SIGHUP."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption merge(QStringLiteral("merge-sheets"),
                                   QStringLiteral("One PDF per workbook instead of per sheet."));
    const QCommandLineOption beside(QStringLiteral("beside-source"),
                                    QStringLiteral("Put each PDF beside its workbook."));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("Seconds that one call to the spreadsheet application may take, from 1 to "
                       "86400 (120)."),
        QStringLiteral("SECONDS"));
    const int defaultJobs = qBound(1, QThread::idealThreadCount(), MaxDefaultJobs);
    const QCommandLineOption jobs(
        QStringLiteral("jobs"),
        QStringLiteral("Spreadsheet applications working at once, from 1 to %1 (here %2: the "
                       "processor cores, at most %3).")
            .arg(MaxJobs)
            .arg(defaultJobs)
            .arg(MaxDefaultJobs),
        QStringLiteral("N"));
    const QCommandLineOption report(
        QStringLiteral("report"),
        QStringLiteral("Write a JSON report of the run to FILE (\"-\": to standard output, "
                       "instead of the status texts)."),
        QStringLiteral("FILE"));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("Print only the summary and the failures."));
    const QCommandLineOption shard(
        QStringLiteral("shard"),
        QStringLiteral("Convert only share K of N of the workbooks, so that N machines can share "
                       "one tree; same-base-name workbooks of a folder stay in one share."),
        QStringLiteral("K/N"));
    const QCommandLineOption update(
        QStringLiteral("update"),
        QStringLiteral("Leave out each workbook that is unchanged since its last conversion into "
                       "the same place, as long as every PDF of that conversion is still there, "
                       "unchanged."));
    const QCommandLineOption pdfa(
        QStringLiteral("pdfa"),
        QStringLiteral("Write archival PDF (PDF/A-2b, every font embedded)."));
    const QCommandLineOption watch(
        QStringLiteral("watch"),
        QStringLiteral("After a first run as with --update, keep watching SOURCE with one "
                       "spreadsheet application and convert each workbook that appears or "
                       "changes once it has stayed the same for 2 seconds, until a stop signal."));
    parser.addOptions({merge, beside, timeout, jobs, report, quiet, shard, update, pdfa, watch});
    parser.addPositionalArgument(QStringLiteral("SOURCE"),
                                 QStringLiteral("The folder that holds the workbooks."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"),
                                 QStringLiteral("The folder for the PDFs (not with "
                                                "--beside-source)."),
                                 QStringLiteral("[OUTPUT]"));
    if (!parser.parse(QCoreApplication::arguments())) {
        PrintLine(stderr, parser.errorText());
        return BadArguments;
    }
    if (parser.isSet(help)) {
        PrintLines(stdout, parser.helpText());
        return Converted;
    }
    if (parser.isSet(version)) {
        PrintLine(stdout, QStringLiteral("quillsheet-cli " QUILLSHEET_VERSION));
        return Converted;
    }
    const QStringList folders = parser.positionalArguments();
    const bool besideSource = parser.isSet(beside);
    if (folders.isEmpty() || folders.size() > 2 || (folders.size() == 1) != besideSource) {
        PrintLine(stderr, QStringLiteral("usage: quillsheet-cli [OPTIONS] SOURCE OUTPUT, or "
                                         "--beside-source SOURCE; see --help"));
        return BadArguments;
    }
    Options options;
    options.quiet = parser.isSet(quiet);
    options.report = parser.value(report);
    // The limit in force, for the report; the server tells of a bad variable itself.
    std::chrono::milliseconds limit(static_cast<long long>(DefaultCallSeconds * 1000));
    if (const char* setting = std::getenv("QUILLSHEET_CALL_TIMEOUT"))
        ParseCallTimeLimit(setting, limit);
    if (parser.isSet(timeout)) {
        if (!ParseCallTimeLimit(parser.value(timeout).toStdString(), limit)) {
            PrintLine(stderr, QStringLiteral("--timeout takes a number of seconds from 1 to 86400 "
                                             "(e.g. 30 or 2.5), not \"%1\"")
                                  .arg(parser.value(timeout)));
            return BadArguments;
        }
#ifndef Q_OS_WIN
        AutomationObject::setCallTimeLimit(limit);
#endif
    }
    options.timeoutSeconds = limit.count() / 1000.0;
    bool jobsOk = true;
    const int jobCount = parser.isSet(jobs) ? parser.value(jobs).toInt(&jobsOk) : defaultJobs;
    if (!jobsOk || jobCount < 1 || jobCount > MaxJobs) {
        PrintLine(stderr, QStringLiteral("--jobs takes a whole number from 1 to %1, not \"%2\"")
                              .arg(MaxJobs)
                              .arg(parser.value(jobs)));
        return BadArguments;
    }
    if (parser.isSet(watch) && parser.isSet(jobs)) {
        PrintLine(stderr, QStringLiteral("--watch keeps one spreadsheet application; it does not "
                                         "take --jobs"));
        return BadArguments;
    }
    options.pdfA = parser.isSet(pdfa);
#ifdef Q_OS_WIN
    if (options.pdfA) {
        PrintLine(stderr, QStringLiteral("--pdfa: Excel cannot write PDF/A when driven through "
                                         "automation; nothing was converted"));
        return BadArguments;
    }
#else
    AutomationObject::setArchivalPdf(options.pdfA);
#endif
    if (parser.isSet(shard) && !ParseShard(parser.value(shard), RunShard)) {
        PrintLine(stderr, QStringLiteral("--shard takes K/N with 1 <= K <= N, e.g. 2/3, not \"%1\"")
                              .arg(parser.value(shard)));
        return BadArguments;
    }

    SourcePath = QDir::toNativeSeparators(QFileInfo(folders[0]).absoluteFilePath());
    SavePath = besideSource ? QString()
                            : QDir::toNativeSeparators(QFileInfo(folders[1]).absoluteFilePath());
    SaveToQuondamPath = besideSource;
    MergeSheets = parser.isSet(merge);
    if (!QFileInfo(SourcePath).isDir()) {
        PrintLine(stderr, QStringLiteral("提取文件夹不存在!"));
        return BadArguments;
    }
    // Converters on the command line make their output folder, as the window does not.
    if (!besideSource) {
        const QFileInfo output(SavePath);
        if (output.exists() && !output.isDir()) {
            PrintLine(stderr, QStringLiteral("保存文件夹是一个文件，不是文件夹：") + SavePath);
            return BadArguments;
        }
        if (!QDir().mkpath(SavePath)) {
            PrintLine(stderr, QStringLiteral("无法创建保存文件夹：") + SavePath);
            return BadArguments;
        }
    }

    std::unique_ptr<UpdateState> state;
    QHash<QString, FileVersion> planned;
    if (parser.isSet(update) || parser.isSet(watch)) {
        state = std::make_unique<UpdateState>(QDir::cleanPath(SourcePath),
                                              QDir::cleanPath(SavePath), MergeSheets, options.pdfA);
        state->Load();
        RunUpToDate = [&state, &planned](const QString& path) {
            const FileVersion version = FileVersion::Of(path);
            planned.insert(path, version);
            return state->UpToDate(path, version);
        };
        options.ended = [&state, &planned](const RunRecord& record) {
            KeepUpdateState(*state, record, planned);
        };
    }
    if (parser.isSet(watch)) {
        WatchRun run;
        // After each batch, so that a watch ended any way keeps what it converted.
        options.ended = nullptr;
        run.SetBatchDoneHook(
            [&state](const RunRecord& batch, const QHash<QString, FileVersion>& versions) {
                KeepUpdateState(*state, batch, versions);
            });
        return Convert(run, options);
    }
    if (jobCount == 1) {
        MergeObject run;
        return Convert(run, options);
    }
    ParallelRun run(jobCount);
    return Convert(run, options);
}
