// Drives the spreadsheet server as a run does, over every workbook in a folder, and prints the
// seconds it took. Modes: "sheets" (one PDF per non-blank sheet), "workbooks" (one PDF per
// workbook), "bind" (bind and quit only: the fixed cost of a run).
#include "automation/automationobject.h"

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
        AutomationObject excel;
        QObject::connect(&excel, &AutomationObject::exception, [&] { ++failures; });
        excel.setControl("Excel.Application");
        AutomationObject* books = excel.querySubObject("WorkBooks");
        const QStringList files = mode == "bind" ? QStringList() : source.entryList(QDir::Files);
        for (const QString& file : files) {
            AutomationObject* book =
                books->querySubObject("Open(const QString&)", source.filePath(file));
            if (!book) {
                ++failures;
                continue;
            }
            const QString base = output + "/" + QFileInfo(file).completeBaseName();
            if (mode == "workbooks") {
                book->dynamicCall("ExportAsFixedFormat(QVariant,QVariant)", 0, base + ".pdf");
            } else {
                const int count = book->querySubObject("Sheets")->property("Count").toInt();
                for (int k = 1; k <= count; ++k) {
                    AutomationObject* sheet = book->querySubObject("WorkSheets(int)", k);
                    AutomationObject* range = sheet->querySubObject("UsedRange");
                    const int rows = range->querySubObject("Rows")->property("Count").toInt();
                    const int columns = range->querySubObject("Columns")->property("Count").toInt();
                    const QVariant value =
                        sheet
                            ->querySubObject("Cells(int, int)", range->property("Row"),
                                             range->property("Column"))
                            ->dynamicCall("Value()");
                    if (rows == 1 && columns == 1 && value.toString().isEmpty())
                        continue;
                    sheet->dynamicCall("ExportAsFixedFormat(QVariant,QVariant)", 0,
                                       base + "(" + sheet->property("Name").toString() + ").pdf");
                }
            }
            book->dynamicCall("Close (Boolean)", false);
        }
        excel.dynamicCall("Quit(void)");
    }
    std::printf("%.3f\n", timer.elapsed() / 1000.0);
    if (failures)
        std::fprintf(stderr, "%d calls failed\n", failures);
    return failures ? 1 : 0;
}
