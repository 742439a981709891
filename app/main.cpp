#include "app/mainwindow.h"
#include "app/settingslocation.h"
#include "app/singleinstance.h"
#include "app/startuppaths.h"
#include "app/systemtray.h"

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

    QApplication app(argc, argv);
    // A second start brings the running copy's window up and ends itself: ending the running
    // copy instead could cut off its conversion and orphan its spreadsheet server.
    SingleInstance instance(
        SingleInstanceServerName(QString::fromLocal8Bit(StartupPaths.ExePath.c_str())));
    if (!instance.BecomeFirst(!IsAutorunLaunch()))
        return 0;
    // Names the user's configuration folder that an installed copy keeps its settings in.
    QApplication::setApplicationName(QStringLiteral("Quillsheet"));
    StartupPaths.SettingsFile = UserSettingsFile(StartupPaths);

    MainWindow window;
    QObject::connect(&instance, &SingleInstance::showRequested, &window,
                     &MainWindow::ShowSoftWindow);
#ifdef QUILLSHEET_STARTUP_PROBE
    // Tests learn what start-up showed and which settings file it chose from these lines,
    // printed once the event loop runs, and what a later start made this copy show from another.
    QTimer::singleShot(0, [&window] {
        std::printf("window %s, tray %s\nsettings %s\n", window.isVisible() ? "shown" : "hidden",
                    trayIcon && trayIcon->isVisible() ? "shown" : "hidden",
                    StartupPaths.SettingsFile.c_str());
        std::fflush(stdout);
    });
    QObject::connect(&instance, &SingleInstance::showRequested, [&window] {
        std::printf("window %s by a second start\n", window.isVisible() ? "shown" : "hidden");
        std::fflush(stdout);
    });
#endif
    return app.exec();
}
