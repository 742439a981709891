#include "app/mainwindow.h"
#include "app/startuppaths.h"
#include "app/systemtray.h"
#include "convert/automationobject.h"
#include "convert/stopsignals.h"
#include "support/processhelpers.h"

#include <QApplication>

#include <cstdlib>

#ifndef _WIN32
#include <QTextCodec>
#endif

#ifdef QUILLSHEET_STARTUP_PROBE
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#endif

namespace {

QtMessageHandler qtMessageHandler = nullptr;

// Qt ends the program with exit(1) right after this warning when it loses its X display. exit()
// would destroy static objects (the office bridge's among them) under a run's thread that still
// works in its office, and crash it; so a run cut short this way ends its office, removes its
// files and leaves at once.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    qtMessageHandler(type, context, text);
    if (type == QtWarningMsg && text.startsWith(QLatin1String("The X11 connection broke")) &&
        EndSpreadsheetApplicationsNow())
        std::_Exit(1);
}

} // namespace

int main(int argc, char** argv)
{
#ifndef _WIN32
    // Paths are exchanged with the support library as UTF-8 bytes whatever the locale says; a
    // C locale would otherwise turn every non-ASCII path into question marks.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
#endif
    RecordStartupPaths(argc, argv);

    // A second copy leaves the running one alone and ends itself: ending the running copy could
    // cut off its conversion and orphan its spreadsheet server.
    if (CountProcessesByName(ProgramExeName) > 1)
        return 0;

    QApplication app(argc, argv);
    qtMessageHandler = qInstallMessageHandler(OnQtMessage);
    // SIGTERM, SIGHUP (a logout) and SIGINT quit as the tray's quit entry does: a run stops after
    // the workbook in work and its office quits before the program ends.
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::StopRequested, &app, &QCoreApplication::quit);
    MainWindow window;
#ifdef QUILLSHEET_STARTUP_PROBE
    // Tests learn what start-up showed from this line, printed once the event loop runs.
    QTimer::singleShot(0, [&window] {
        std::printf("window %s, tray %s\n", window.isVisible() ? "shown" : "hidden",
                    trayIcon && trayIcon->isVisible() ? "shown" : "hidden");
        std::fflush(stdout);
    });
    // Tests that need a run in a real window process start one as a click on convert would.
    if (qEnvironmentVariableIsSet("QUILLSHEET_PROBE_CONVERT"))
        QTimer::singleShot(0, &window, [&window] {
            window.findChild<QPushButton*>(QStringLiteral("pBtn_Transform"))->click();
        });
#endif
    return app.exec();
}
