#include "app/systemtray.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

SystemTray* trayIcon = nullptr;

SystemTray::SystemTray(QObject* parent) : QSystemTrayIcon(parent)
{
    // A QMenu cannot take a non-widget parent, so the tray deletes it itself.
    menu = new QMenu();
    showAction = new QAction(tr("软件设置"), this);
    quitAction = new QAction(tr("退出程序"), this);
    menu->addAction(showAction);
    menu->addAction(quitAction);
    setContextMenu(menu);
    setIcon(QIcon(QStringLiteral(":/images/qlx.ico")));
    setToolTip(tr("excel文件批量转pdf"));
    setVisible(true);
    connect(showAction, &QAction::triggered, this, &SystemTray::ShowUi);
    connect(quitAction, &QAction::triggered, this, &SystemTray::UiQuit);
}

SystemTray::~SystemTray()
{
    delete menu;
}

void SystemTray::UiQuit()
{
    emit quitRequested();
}

void SystemTray::ShowUi()
{
    emit showWidget();
}
