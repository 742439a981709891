#include "app/mainwindow.h"
#include "app/startuppaths.h"
#include "app/systemtray.h"
#include "support/processhelpers.h"

#include <QApplication>

#ifndef _WIN32
#include <QTextCodec>
#endif

#ifdef QUILLSHEET_STARTUP_PROBE
#include <QTimer>
#include <cstdio>
#endif

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
    MainWindow window;
#ifdef QUILLSHEET_STARTUP_PROBE
    // Tests learn what start-up showed from this line, printed once the event loop runs.
    QTimer::singleShot(0, [&window] {
        std::printf("window %s, tray %s\n", window.isVisible() ? "shown" : "hidden",
                    trayIcon && trayIcon->isVisible() ? "shown" : "hidden");
        std::fflush(stdout);
    });
#endif
    return app.exec();
}
