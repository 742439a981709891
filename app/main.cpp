#include "app/graphicaldisplay.h"
#include "app/mainwindow.h"
#include "app/settingslocation.h"
#include "app/singleinstance.h"
#include "app/startuppaths.h"
#include "app/systemtray.h"
#include "convert/stopsignals.h"
#include "convert/uilanguage.h"
#include "support/calltimelimit.h"
#include "support/userhome.h"

#ifdef Q_OS_WIN
#include "excel/excelapplications.h"
#else
#include "automation/officeapplications.h"
#endif

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <QTextCodec>
#endif

#ifdef QUILLSHEET_STARTUP_PROBE
#include "app/windowplacement.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#endif

namespace {

QtMessageHandler qtMessageHandler = nullptr;
// The program's applications, for the one moment a message handler needs them.
SpreadsheetApplications* applicationsToEnd = nullptr;

// Qt ends the program with exit(1) right after this warning when it loses its X display. exit()
// would destroy static objects (the office bridge's, the stop signals' watcher) under threads that
// still run, a run's among them, and crash; so the program ends its offices, removes their files
// and leaves at once, with Qt's exit code.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    qtMessageHandler(type, context, text);
    if (type == QtWarningMsg && text.startsWith(QLatin1String("The X11 connection broke"))) {
        if (applicationsToEnd)
            applicationsToEnd->EndAllNow();
        std::_Exit(1);
    }
}

#ifdef QUILLSHEET_STARTUP_PROBE
// The window's controls that cannot be seen whole: outside a parent, or narrower or lower than
// their text needs (a label that shortens its text needs only its minimum), each " name".
QString CutControls(const QWidget& window)
{
    QString cut;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const bool hasText = qobject_cast<const QAbstractButton*>(control) ||
                             qobject_cast<const QLabel*>(control) ||
                             qobject_cast<const QGroupBox*>(control);
        if (!control->isVisibleTo(&window) ||
            !(hasText || qobject_cast<const QLineEdit*>(control) ||
              qobject_cast<const QProgressBar*>(control)))
            continue;
        const bool shortens =
            qobject_cast<const QLabel*>(control) &&
            (control->inherits("ElidingLabel") || static_cast<const QLabel*>(control)->wordWrap());
        QSize needed = hasText && !shortens ? control->sizeHint() : control->minimumSizeHint();
        if (const auto* box = qobject_cast<const QGroupBox*>(control))
            needed = QSize(box->fontMetrics().horizontalAdvance(box->title()), 0);
        bool whole = control->width() >= needed.width() && control->height() >= needed.height();
        for (const QWidget* parent = control->parentWidget(); whole && parent;
             parent = parent->isWindow() ? nullptr : parent->parentWidget())
            whole = parent->rect().contains(
                QRect(control->mapTo(parent, QPoint(0, 0)), control->size()));
        if (!whole)
            cut += QLatin1Char(' ') + control->objectName();
    }
    return cut.isEmpty() ? QStringLiteral(" none") : cut;
}
#endif

} // namespace

int main(int argc, char** argv)
{
#ifndef _WIN32
    // Paths are exchanged with the support library as UTF-8 bytes whatever the locale says; a
    // C locale would otherwise turn every non-ASCII path into question marks.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
#endif
    // Qt takes the user's folders from HOME and, without one, puts them at the root.
    SetHomeWhenMissing();
    RecordStartupPaths(argc, argv);

    if (DisplayMissing(argc, argv)) {
        // No window can open, yet the line is in the user's language.
        QCoreApplication withoutDisplay(argc, argv);
        InstallTranslations();
        std::fprintf(stderr, "%s\n",
                     QCoreApplication::translate("Startup",
                                                 "Quillsheet 需要图形界面：DISPLAY 和 "
                                                 "WAYLAND_DISPLAY 都没有设置。没有图形界面时请用 "
                                                 "quillsheet-cli。")
                         .toUtf8()
                         .constData());
        return 1;
    }
    QApplication app(argc, argv);
    InstallTranslations();
    // A second start brings the running copy's window up and ends itself: ending the running
    // copy instead could cut off its conversion and orphan its spreadsheet server.
    SingleInstance instance(
        SingleInstanceServerName(QString::fromLocal8Bit(StartupPaths.ExePath.c_str())));
    if (!instance.BecomeFirst(!IsAutorunLaunch()))
        return 0;
    // Names the user's configuration folder that an installed copy keeps its settings in.
    QApplication::setApplicationName(QStringLiteral("Quillsheet"));
    StartupPaths.SettingsFile = UserSettingsFile(StartupPaths);

    // The window's runs take the defaults but for the environment's call limit and paper.
    ApplicationOptions options;
    options.callLimit = CallTimeLimitOfEnvironment();
    options.regionPaper = UserRegionPaper();
    const std::unique_ptr<SpreadsheetApplications> applications =
        NewSpreadsheetApplications(options);
    applicationsToEnd = applications.get();
    qtMessageHandler = qInstallMessageHandler(OnQtMessage);
    // SIGTERM, SIGHUP (a logout) and SIGINT quit as the tray's quit entry does: a run stops after
    // the workbook in work, or 5 s later with its offices ended, before the program ends.
    StopSignals stopSignals(*applications);
    MainWindow window(*applications);
    QObject::connect(&stopSignals, &StopSignals::StopRequested, &window, &MainWindow::Quit);
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
    // Asked for, where the window went once its window manager has framed it and stopped moving
    // it: its frame, the screen's area it must stay in, and the controls that are cut off.
    if (qEnvironmentVariableIsSet("QUILLSHEET_PROBE_GEOMETRY")) {
        auto* settle = new QTimer(&window);
        settle->start(300);
        QObject::connect(
            settle, &QTimer::timeout, [&window, settle, last = QRect(), ticks = 0]() mutable {
                const QRect frame = window.frameGeometry();
                const bool framed = frame != window.geometry();
                if ((frame != last || !framed) && ++ticks < 20) {
                    last = frame;
                    return;
                }
                settle->stop();
                const QRect area = PrimaryScreenArea();
                std::printf("frame %d %d %d %d area %d %d %d %d\ncut:%s\n", frame.x(), frame.y(),
                            frame.width(), frame.height(), area.x(), area.y(), area.width(),
                            area.height(), CutControls(window).toUtf8().constData());
                std::fflush(stdout);
            });
    }
    QObject::connect(&instance, &SingleInstance::showRequested, [&window] {
        std::printf("window %s by a second start\n", window.isVisible() ? "shown" : "hidden");
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
