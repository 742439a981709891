// quillsheet-cli: a conversion run without a window, for scripts and servers.
#include "convert/automationobject.h"
#include "convert/mergeobject.h"
#include "convert/runsettings.h"
#include "convert/stopsignals.h"
#include "convert/visibletext.h"
#include "support/calltimelimit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextCodec>

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
        "worksheet (or per workbook), below OUTPUT in the same sub-folders (or beside each\n"
        "workbook). Exit code 0: everything converted; 1: something failed; 2: bad arguments;\n"
        "128 + the signal's number: stopped by SIGINT, SIGTERM or SIGHUP."));
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
    parser.addOptions({merge, beside, timeout});
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
        PrintLine(stderr, QStringLiteral("usage: quillsheet-cli [--merge-sheets] [--beside-source] "
                                         "[--timeout SECONDS] SOURCE [OUTPUT]; see --help"));
        return BadArguments;
    }
    if (parser.isSet(timeout)) {
        std::chrono::milliseconds limit;
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

    SourcePath = QDir::toNativeSeparators(QFileInfo(folders[0]).absoluteFilePath());
    SavePath = besideSource ? QString()
                            : QDir::toNativeSeparators(QFileInfo(folders[1]).absoluteFilePath());
    SaveToQuondamPath = besideSource;
    MergeSheets = parser.isSet(merge);
    if (!QFileInfo(SourcePath).isDir()) {
        PrintLine(stderr, QStringLiteral("提取文件夹不存在!"));
        return BadArguments;
    }
    if (!besideSource && !QFileInfo(SavePath).isDir()) {
        PrintLine(stderr, QStringLiteral("保存文件夹不存在!"));
        return BadArguments;
    }

    MergeObject worker;
    QObject::connect(&worker, &MergeObject::ShowDisposingFile,
                     [](const QString& text) { PrintLines(stdout, text); });
    // The first signal stops the run after the workbook in work; its summary and failures are
    // still printed. Declared after the worker, so that it stops catching before the worker goes.
    StopSignals stopSignals;
    QObject::connect(
        &stopSignals, &StopSignals::StopRequested, &worker, [&worker] { worker.RequestStop(); },
        Qt::DirectConnection);
    worker.Transform();
    for (const QString& failure : worker.Failures())
        PrintLine(stdout, failure);
    if (const int signal = stopSignals.Caught()) {
        PrintLine(stdout,
                  QStringLiteral("转换已中止：%1个excel文件未转换。").arg(worker.NotConverted()));
        return 128 + signal;
    }
    return worker.Failures().isEmpty() ? Converted : SomethingFailed;
}
