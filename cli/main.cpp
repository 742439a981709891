// quillsheet-cli: a conversion run without a window, for scripts and servers.
#include "convert/automationobject.h"
#include "convert/mergeobject.h"
#include "convert/runsettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextCodec>

#include <csignal>
#include <cstdio>

namespace {

enum ExitCode
{
    Converted = 0,
    SomethingFailed = 1,
    BadArguments = 2
};

MergeObject* runningWorker = nullptr;

// The first Ctrl+C stops the run after the workbook in work; the next one ends the program.
void StopAfterThisWorkbook(int)
{
    if (runningWorker)
        runningWorker->RequestStop();
    std::signal(SIGINT, SIG_DFL);
}

void PrintLine(FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
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
        "workbook). Exit code 0: everything converted; 1: something failed; 2: bad arguments."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption merge(QStringLiteral("merge-sheets"),
                                   QStringLiteral("One PDF per workbook instead of per sheet."));
    const QCommandLineOption beside(QStringLiteral("beside-source"),
                                    QStringLiteral("Put each PDF beside its workbook."));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("Seconds that one call to the spreadsheet application may take (120)."),
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
        PrintLine(stdout, parser.helpText());
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
        bool ok = false;
        const double seconds = parser.value(timeout).toDouble(&ok);
        if (!ok || seconds <= 0) {
            PrintLine(stderr, QStringLiteral("--timeout takes a number of seconds above 0"));
            return BadArguments;
        }
#ifndef Q_OS_WIN
        AutomationObject::setCallTimeLimit(
            std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
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
                     [](const QString& text) { PrintLine(stdout, text); });
    runningWorker = &worker;
    std::signal(SIGINT, StopAfterThisWorkbook);
    worker.Transform();
    std::signal(SIGINT, SIG_DFL);
    runningWorker = nullptr;
    for (const QString& failure : worker.Failures())
        PrintLine(stdout, failure);
    return worker.Failures().isEmpty() ? Converted : SomethingFailed;
}
