#include "cli/commandline.h"

#include "support/calltimelimit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int MaxJobs = 64;
constexpr double MinMemoryGB = 0.1;
constexpr double MaxMemoryGB = 1024;

// A command that ends once text is printed.
CommandLine Ending(CommandLine::Action action, const QString& text)
{
    CommandLine ending;
    ending.action = action;
    ending.text = text;
    return ending;
}

CommandLine Refused(const QString& why)
{
    return Ending(CommandLine::Action::BadArguments, why);
}

} // namespace

CommandLine ReadCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine",
        "Converts every .xls, .xlsx and .xlsm below SOURCE to PDF: one PDF per non-blank\n"
        "worksheet (or per workbook), below OUTPUT in the same sub-folders (OUTPUT is created "
        "when\n"
        "missing), or beside each workbook. Exit code 0: everything converted; 1: something\n"
        "failed; 2: bad arguments; 128 + the signal's number: stopped by SIGINT, SIGTERM or\n"
        "SIGHUP."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption merge(
        QStringLiteral("merge-sheets"),
        QCoreApplication::translate("CommandLine", "One PDF per workbook instead of per sheet."));
    const QCommandLineOption beside(
        QStringLiteral("beside-source"),
        QCoreApplication::translate("CommandLine", "Put each PDF beside its workbook."));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QCoreApplication::translate(
            "CommandLine",
            "Seconds that one call to the spreadsheet application may take, from 1 to "
            "86400 (120)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption jobs(
        QStringLiteral("jobs"),
        QCoreApplication::translate(
            "CommandLine", "Spreadsheet applications working at once, from 1 to %1 (here %2: the "
                           "CPUs this process may use, by its affinity and CPU quota, at most %3).")
            .arg(MaxJobs)
            .arg(DefaultJobs())
            .arg(MaxDefaultJobs),
        QStringLiteral("N"));
    const QCommandLineOption report(
        QStringLiteral("report"),
        QCoreApplication::translate(
            "CommandLine", "Write a JSON report of the run to FILE (\"-\": to standard output, "
                           "instead of the status texts)."),
        QStringLiteral("FILE"));
    const QCommandLineOption quiet(
        QStringLiteral("quiet"),
        QCoreApplication::translate("CommandLine",
                                    "Print only the summaries (with --watch, each batch's) and the "
                                    "failures, not the line of each workbook."));
    const QCommandLineOption shard(
        QStringLiteral("shard"),
        QCoreApplication::translate(
            "CommandLine",
            "Convert only share K of N of the workbooks, so that N machines can share "
            "one tree; same-base-name workbooks of a folder stay in one share."),
        QStringLiteral("K/N"));
    const QCommandLineOption update(
        QStringLiteral("update"),
        QCoreApplication::translate(
            "CommandLine",
            "Leave out each workbook that is unchanged since its last conversion into "
            "the same place, as long as every PDF of that conversion is still there, "
            "unchanged."));
    const QCommandLineOption pdfa(
        QStringLiteral("pdfa"),
        QCoreApplication::translate("CommandLine",
                                    "Write archival PDF (PDF/A-2b, every font embedded)."));
    const QCommandLineOption watch(
        QStringLiteral("watch"),
        QCoreApplication::translate(
            "CommandLine",
            "After a first run as with --update, keep watching SOURCE with one "
            "spreadsheet application and convert each workbook that appears or "
            "changes, 0.3 seconds after it is closed or moved in (2 seconds after its "
            "last change where SOURCE is listed), until a stop signal."));
    const QCommandLineOption workbookTimeout(
        QStringLiteral("workbook-timeout"),
        QCoreApplication::translate(
            "CommandLine", "Seconds that one workbook's whole conversion may take, from 1 to 86400 "
                           "(10 times --timeout); past them its application is stopped and the "
                           "workbook fails."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption maxMemory(
        QStringLiteral("max-memory"),
        QCoreApplication::translate(
            "CommandLine", "Memory that one spreadsheet application may take for a workbook, from "
                           "0.1 to 1024 GB (the machine's memory shared among the applications and "
                           "one more, at most 4); past it the application is stopped and the "
                           "workbook fails."),
        QStringLiteral("GB"));
    const QCommandLineOption noSandbox(
        QStringLiteral("no-sandbox"),
        QCoreApplication::translate(
            "CommandLine",
            "Run the spreadsheet applications without their sandbox, which keeps them "
            "from the network and from files outside SOURCE and OUTPUT."));
    const QCommandLineOption stopGrace(
        QStringLiteral("stop-grace"),
        QCoreApplication::translate(
            "CommandLine",
            "Seconds that a stop signal waits for the workbooks in work, from 0 to %1 (%2); then "
            "their spreadsheet applications are stopped and they count as not converted.")
            .arg(MaxStopGraceSeconds)
            .arg(DefaultStopGrace.count() / 1000),
        QStringLiteral("SECONDS"));
    const QCommandLineOption followLinks(
        QStringLiteral("follow-links"),
        QCoreApplication::translate(
            "CommandLine",
            "Also convert the workbooks in folders that links below SOURCE lead to outside it "
            "(left out by default); the spreadsheet applications may read those folders. With "
            "--beside-source, those workbooks fail: no PDF is written outside SOURCE."));
    const QCommandLineOption requireSandbox(
        QStringLiteral("require-sandbox"),
        QCoreApplication::translate(
            "CommandLine", "Convert nothing (exit code 2) where the spreadsheet applications "
                           "cannot run in their sandbox, instead of running them without it."));
    parser.addOptions({merge, beside, timeout, workbookTimeout, jobs, report, quiet, shard, update,
                       pdfa, watch, maxMemory, noSandbox, requireSandbox, stopGrace, followLinks});
    parser.addPositionalArgument(
        QStringLiteral("SOURCE"),
        QCoreApplication::translate("CommandLine", "The folder that holds the workbooks."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"),
                                 QCoreApplication::translate("CommandLine",
                                                             "The folder for the PDFs (not with "
                                                             "--beside-source)."),
                                 QStringLiteral("[OUTPUT]"));
    if (!parser.parse(arguments))
        return Refused(parser.errorText());
    if (parser.isSet(help))
        return Ending(CommandLine::Action::Print, parser.helpText());
    if (parser.isSet(version))
        return Ending(CommandLine::Action::Print,
                      QStringLiteral("quillsheet-cli " QUILLSHEET_VERSION));

    CommandLine command;
    const QStringList folders = parser.positionalArguments();
    command.besideSource = parser.isSet(beside);
    if (folders.isEmpty() || folders.size() > 2 || (folders.size() == 1) != command.besideSource)
        return Refused(QCoreApplication::translate(
            "CommandLine", "usage: quillsheet-cli [OPTIONS] SOURCE OUTPUT, or "
                           "--beside-source SOURCE; see --help"));
    command.source = QDir::toNativeSeparators(QFileInfo(folders[0]).absoluteFilePath());
    if (!command.besideSource)
        command.output = QDir::toNativeSeparators(QFileInfo(folders[1]).absoluteFilePath());
    command.mergeSheets = parser.isSet(merge);
    command.quiet = parser.isSet(quiet);
    command.report = parser.value(report);
    command.update = parser.isSet(update);
    command.watch = parser.isSet(watch);

    if (parser.isSet(timeout)) {
        if (!ParseCallTimeLimit(parser.value(timeout).toStdString(),
                                command.applications.callLimit))
            return Refused(QCoreApplication::translate(
                               "CommandLine", "--timeout takes a number of seconds from 1 to 86400 "
                                              "(e.g. 30 or 2.5), not \"%1\"")
                               .arg(parser.value(timeout)));
    } else {
        command.applications.callLimit = CallTimeLimitOfEnvironment();
    }

    if (parser.isSet(workbookTimeout) &&
        !ParseCallTimeLimit(parser.value(workbookTimeout).toStdString(),
                            command.applications.workbookLimit))
        return Refused(QCoreApplication::translate(
                           "CommandLine", "--workbook-timeout takes a number of seconds from 1 to "
                                          "86400 (e.g. 600), not \"%1\"")
                           .arg(parser.value(workbookTimeout)));
    if (parser.isSet(maxMemory)) {
        bool memoryOk = false;
        command.applications.maxMemoryGB = parser.value(maxMemory).toDouble(&memoryOk);
        if (!memoryOk || !(command.applications.maxMemoryGB >= MinMemoryGB) ||
            command.applications.maxMemoryGB > MaxMemoryGB)
            return Refused(
                QCoreApplication::translate("CommandLine",
                                            "--max-memory takes a number of GB from %1 to %2 (e.g. "
                                            "2 or 1.5), not \"%3\"")
                    .arg(MinMemoryGB)
                    .arg(MaxMemoryGB)
                    .arg(parser.value(maxMemory)));
    }
    command.applications.sandbox = !parser.isSet(noSandbox);
    if (parser.isSet(stopGrace)) {
        bool graceOk = false;
        const double seconds = parser.value(stopGrace).toDouble(&graceOk);
        if (!graceOk || !(seconds >= 0) || seconds > MaxStopGraceSeconds)
            return Refused(QCoreApplication::translate(
                               "CommandLine", "--stop-grace takes a number of seconds from 0 to "
                                              "%1 (e.g. 5 or 0.5), not \"%2\"")
                               .arg(MaxStopGraceSeconds)
                               .arg(parser.value(stopGrace)));
        command.stopGrace = std::chrono::milliseconds(std::llround(seconds * 1000));
    }
    command.run.followLinks = parser.isSet(followLinks);
    command.applications.regionPaper = UserRegionPaper();
    command.requireSandbox = parser.isSet(requireSandbox);
    if (command.requireSandbox && !command.applications.sandbox)
        return Refused(QCoreApplication::translate(
            "CommandLine", "--require-sandbox and --no-sandbox ask for opposite things"));

    bool jobsOk = true;
    command.run.jobs = parser.isSet(jobs) ? parser.value(jobs).toInt(&jobsOk) : DefaultJobs();
    if (!jobsOk || command.run.jobs < 1 || command.run.jobs > MaxJobs)
        return Refused(QCoreApplication::translate(
                           "CommandLine", "--jobs takes a whole number from 1 to %1, not \"%2\"")
                           .arg(MaxJobs)
                           .arg(parser.value(jobs)));
    if (command.watch && parser.isSet(jobs))
        return Refused(QCoreApplication::translate(
            "CommandLine", "--watch keeps one spreadsheet application; it does not "
                           "take --jobs"));
    command.applications.pdf = parser.isSet(pdfa) ? PdfKind::Archival : PdfKind::Standard;
#ifdef Q_OS_WIN
    if (command.applications.pdf == PdfKind::Archival)
        return Refused(QCoreApplication::translate(
            "CommandLine", "--pdfa: Excel cannot write PDF/A when driven through "
                           "automation; nothing was converted"));
#endif
    if (parser.isSet(shard) && !ParseShard(parser.value(shard), command.run.shard))
        return Refused(
            QCoreApplication::translate("CommandLine",
                                        "--shard takes K/N with 1 <= K <= N, e.g. 2/3, not \"%1\"")
                .arg(parser.value(shard)));
    return command;
}
