#pragma once

#include <QSystemTrayIcon>

class QAction;
class QMenu;

// The program's icon in the system tray, with a menu to bring the window up or to quit.
class SystemTray : public QSystemTrayIcon
{
    Q_OBJECT

public:
    explicit SystemTray(QObject* parent);
    ~SystemTray() override;

    QMenu* menu;
    QAction* showAction;
    QAction* quitAction;

signals:
    void showWidget();
    // The quit entry: the window decides when the program can end.
    void quitRequested();

private slots:
    void UiQuit();
    void ShowUi();
};

// The one tray icon, set when the main window is built.
extern SystemTray* trayIcon;
