#include "cli/runcommandline.h"

#include "cli/commandline.h"
#include "cli/progressline.h"
#include "cli/stopgrace.h"
#include "convert/atomicfile.h"
#include "convert/folderpath.h"
#include "convert/mergeobject.h"
#include "convert/runreport.h"
#include "convert/runsettings.h"
#include "convert/stopsignals.h"
#include "convert/uilanguage.h"
#include "convert/updatestate.h"
#include "convert/visibletext.h"
#include "convert/watchrun.h"
#include "convert/writablefolder.h"
#include "support/userhome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryFile>
#include <QTextCodec>

#include <cerrno>
#include <cstdio>

namespace {

enum ExitCode
{
    Converted = 0,
    SomethingFailed = 1,
    BadArguments = 2
};

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

// Hands the folders to the run settings and makes the output folder, as converters on the
// command line do and the window does not; false, having said why, when they cannot serve.
bool TakeFolders(const CommandLine& command)
{
    SourcePath = command.source;
    SavePath = command.output;
    SaveToQuondamPath = command.besideSource;
    MergeSheets = command.mergeSheets;
    if (!QFileInfo(SourcePath).isDir()) {
        PrintLine(stderr, QCoreApplication::translate("Cli", "提取文件夹不存在!"));
        return false;
    }
    if (command.besideSource)
        return true;
    const QFileInfo output(SavePath);
    if (output.exists() && !output.isDir()) {
        PrintLine(stderr, QCoreApplication::translate("Cli", "保存文件夹是一个文件，不是文件夹：") +
                              SavePath);
        return false;
    }
    QString reason;
    if (!MakeFolderPath(SavePath, reason)) {
        PrintLine(
            stderr,
            QCoreApplication::translate("Cli", "无法创建保存文件夹：%1：%2").arg(SavePath, reason));
        return false;
    }
    // Found out here rather than workbook by workbook, each opened for nothing.
    if (!FolderWritable(SavePath, reason)) {
        PrintLine(stderr, UnwritableOutputFolderLine(SavePath, reason));
        return false;
    }
    return true;
}

// Keeps what a run converted for the next --update or --watch run; false, having said why, when
// the state could not be written (the previous one stays, and the next run goes by it).
bool KeepUpdateState(UpdateState& state, const RunRecord& record,
                     const QHash<QString, FileVersion>& versions)
{
    state.Update(record, versions);
    QString error;
    if (state.Save(error))
        return true;
    PrintLine(stderr, QCoreApplication::translate("Cli", "无法保存更新状态：%1：%2")
                          .arg(state.FilePath(), error));
    return false;
}

// Writes the report to standard output; false with the system's reason when it does not take
// all of it (a full disk, a closed pipe).
bool WriteToStandardOutput(const QByteArray& bytes, QString& error)
{
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()),
                                     stdout) == static_cast<size_t>(bytes.size()) &&
                         std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!written)
        error = qt_error_string(errno);
    return written;
}

// Whether the report the command asks for can be written once the run has ended, its folder made
// when missing; when not, says why, before anything is converted.
bool ReportCanBeWritten(const QString& report)
{
    if (report.isEmpty() || report == QLatin1String("-"))
        return true;
    const QFileInfo file(report);
    QString error;
    if (file.isDir()) {
        error = QCoreApplication::translate("Cli", "这是一个文件夹");
    } else if (MakeFolderPath(file.absolutePath(), error)) {
        // The report is written as a temporary file there and renamed.
        QTemporaryFile probe(file.absolutePath() + QStringLiteral("/.quillsheet-report-XXXXXX"));
        if (probe.open())
            return true;
        error = probe.errorString();
    }
    PrintLine(stderr,
              QCoreApplication::translate("Cli", "报告无法写出：%1：%2").arg(report, error));
    return false;
}

// Writes the JSON report the command asks for; false when it could not be written.
bool WriteReport(const CommandLine& command, const RunRecord& record)
{
    QJsonObject report = JsonReport(record);
    report.insert(QStringLiteral("program"), QStringLiteral("quillsheet-cli " QUILLSHEET_VERSION));
    QJsonObject settings = report.value(QStringLiteral("settings")).toObject();
    settings.insert(QStringLiteral("timeoutSeconds"),
                    command.applications.callLimit.count() / 1000.0);
    settings.insert(QStringLiteral("pdfa"), command.applications.pdf == PdfKind::Archival);
    report.insert(QStringLiteral("settings"), settings);
    const QByteArray json = QJsonDocument(report).toJson();
    const bool toStandardOutput = command.report == QLatin1String("-");
    QString error;
    if (toStandardOutput ? WriteToStandardOutput(json, error)
                         : WriteFileAtomically(command.report, json, error))
        return true;
    PrintLine(stderr, QCoreApplication::translate("Cli", "报告无法写出：%1：%2")
                          .arg(toStandardOutput ? QCoreApplication::translate("Cli", "标准输出")
                                                : command.report,
                               error));
    return false;
}

// Runs run as the command says, printing its texts and progress; ended (when given) is told of
// what it converted as soon as it has ended. Returns the exit code.
int Convert(ConversionRun& run, SpreadsheetApplications& applications, const CommandLine& command,
            const std::function<void(const RunRecord&)>& ended = nullptr)
{
    const bool jsonOnly = command.report == QLatin1String("-");
    const bool statusTexts = !command.quiet && !jsonOnly;
    ProgressLine progress;
    const auto print = [&progress](const QString& text) {
        progress.Hide();
        PrintLines(stdout, text);
        progress.Show();
    };
    if (statusTexts)
        QObject::connect(&run, &ConversionRun::ShowDisposingFile, print);
    else if (!jsonOnly)
        // --quiet leaves out the workbooks' lines, not the summaries: a watch's tell each batch.
        run.SetEndTextHook(print);
    RunProgress counts;
    run.SetWorkbookBegunHook([&](const QString& path) {
        counts.SetTotal(run.ToConvert(), run.WorkToConvert());
        counts.Begun(path);
    });
    run.SetWorkbookDoneHook([&](const WorkbookRecord& workbook) {
        counts.SetTotal(run.ToConvert(), run.WorkToConvert());
        counts.Done(workbook);
        progress.Update(counts);
    });
    // The first signal stops the run after the workbooks in work, or, past the grace, cuts them
    // off as the window's forced stop does; its summary, failures and report still follow.
    // Declared after the run, so that they stop catching before the run goes, the grace last.
    StopGrace grace(command.stopGrace, [&run] { run.ForceStop(); });
    StopSignals stopSignals(applications);
    QObject::connect(
        &stopSignals, &StopSignals::StopRequested, &run,
        [&run, &grace] {
            run.RequestStop();
            grace.Begin();
        },
        Qt::DirectConnection);
    run.Transform();
    progress.Hide();

    const RunRecord& record = run.Record();
    if (ended)
        ended(record);
    const int signal = stopSignals.Caught();
    const QStringList failureLines = record.FailureLines();
    if (!jsonOnly) {
        if (!failureLines.isEmpty())
            PrintLine(stdout, QCoreApplication::translate("Cli", "全部失败："));
        for (const QString& failure : failureLines)
            PrintLine(stdout, failure);
    }
    if (signal)
        PrintLine(jsonOnly ? stderr : stdout, StoppedLine(record.NotConverted()));
    int code = signal ? 128 + signal : failureLines.isEmpty() ? Converted : SomethingFailed;
    if (!command.report.isEmpty() && !WriteReport(command, record) && code == Converted)
        code = SomethingFailed;
    return code;
}

// The run the command asks for, with --update's and --watch's state kept as it goes.
int ConvertAsAsked(CommandLine command, SpreadsheetApplications& applications)
{
    // Convert() prints every failure under the summary.
    command.run.everyFailureListedAfter = true;
    if (!command.update && !command.watch) {
        MergeObject run(applications, command.run);
        return Convert(run, applications, command);
    }
    UpdateState state(QDir::cleanPath(command.source), QDir::cleanPath(command.output),
                      command.mergeSheets, command.applications.pdf == PdfKind::Archival,
                      command.run.shard);
    QString unlocked;
    if (!state.Lock(
            [&state] {
                PrintLine(stderr, QCoreApplication::translate(
                                      "Cli", "另一个运行正在使用同一更新状态，等它结束后再开始：%1")
                                      .arg(state.FilePath()));
            },
            unlocked))
        PrintLine(stderr, QCoreApplication::translate(
                              "Cli", "更新状态无法锁定，同时进行的运行可能丢失它的记录：%1：%2")
                              .arg(state.FilePath(), unlocked));
    state.Load();
    QHash<QString, FileVersion> planned;
    command.run.upToDate = [&state, &planned](const QString& path) {
        const FileVersion version = FileVersion::Of(path);
        planned.insert(path, version);
        return state.UpToDate(path, version);
    };
    command.run.removeOutdatedPdfs = [&state](RunRecord& converted) {
        state.RemoveOutdatedPdfs(converted);
    };
    // A state that could not be kept fails the run as a report that could not be written does.
    bool stateKept = true;
    const auto exitCode = [&stateKept](int code) {
        return !stateKept && code == Converted ? SomethingFailed : code;
    };
    if (command.watch) {
        WatchRun run(applications, command.run);
        // After each batch, so that a watch ended any way keeps what it converted.
        run.SetBatchDoneHook([&state, &stateKept](const RunRecord& batch,
                                                  const QHash<QString, FileVersion>& versions) {
            stateKept = KeepUpdateState(state, batch, versions) && stateKept;
        });
        return exitCode(Convert(run, applications, command));
    }
    MergeObject run(applications, command.run);
    return exitCode(Convert(run, applications, command, [&](const RunRecord& record) {
        stateKept = KeepUpdateState(state, record, planned);
    }));
}

} // namespace

int RunCommandLine(int argc, char** argv, const NewApplications& newApplications)
{
#ifndef Q_OS_WIN
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
#endif
    // Qt takes the user's folders from HOME and, without one, puts them at the root.
    SetHomeWhenMissing();
    QCoreApplication app(argc, argv);
    InstallTranslations();
    QCoreApplication::setApplicationName(QStringLiteral("quillsheet-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLSHEET_VERSION));

    const CommandLine command = ReadCommandLine(QCoreApplication::arguments());
    switch (command.action) {
    case CommandLine::Action::Print:
        PrintLines(stdout, command.text);
        return Converted;
    case CommandLine::Action::BadArguments:
        PrintLine(stderr, command.text);
        return BadArguments;
    case CommandLine::Action::Convert:
        break;
    }
    const std::unique_ptr<SpreadsheetApplications> applications =
        newApplications(command.applications);
    // Before anything is made: an unusable temporary folder fails every office start.
    if (const QString problem = applications->TemporaryFolderProblem(); !problem.isEmpty()) {
        PrintLine(stderr, problem);
        return BadArguments;
    }
    if (command.requireSandbox) {
        if (const QString why = applications->UnsandboxedBecause(); !why.isEmpty()) {
            PrintLine(stderr, QCoreApplication::translate(
                                  "Cli", "没有沙箱，不转换（--require-sandbox）：%1")
                                  .arg(why));
            return BadArguments;
        }
    }
    if (!TakeFolders(command) || !ReportCanBeWritten(command.report))
        return BadArguments;
    return ConvertAsAsked(command, *applications);
}
