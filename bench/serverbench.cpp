// Drives the spreadsheet server as a run does, over every workbook in a folder, and prints the
// seconds it took. Modes: "sheets" (one PDF per non-blank sheet), "workbooks" (one PDF per
// workbook), "bind" (bind and quit only: the fixed cost of a run).
#include "automation/spreadsheetserver.h"
#include "support/calltimelimit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: serverbench SOURCE OUTPUT sheets|workbooks|bind\n");
        return 2;
    }
    const QDir source(QString::fromLocal8Bit(argv[1]));
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QByteArray mode = argv[3];
    QElapsedTimer timer;
    timer.start();
    int failures = 0;
    {
        SpreadsheetServer excel(CallTimeLimitOfEnvironment());
        const auto failed = [&failures](const ReportedFailure& failure) {
            failures += failure.kind != FailureKind::None;
        };
        failed(excel.Bind().failure);
        const QStringList files = mode == "bind" ? QStringList() : source.entryList(QDir::Files);
        for (const QString& file : files) {
            if (!excel.Open(source.filePath(file)).done) {
                ++failures;
                continue;
            }
            const QString base = output + "/" + QFileInfo(file).completeBaseName();
            if (mode == "workbooks") {
                failed(excel.ExportWorkbook(base + ".pdf"));
            } else {
                const int count = excel.SheetCount().value;
                for (int k = 1; k <= count; ++k) {
                    if (excel.Blank(k).value)
                        continue;
                    failed(excel.ExportSheet(k, base + "(" + excel.Name(k).value + ").pdf"));
                }
            }
            excel.Close();
        }
        excel.Quit();
    }
    std::printf("%.3f\n", timer.elapsed() / 1000.0);
    if (failures)
        std::fprintf(stderr, "%d calls failed\n", failures);
    return failures ? 1 : 0;
}
