#include "app/windowplacement.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QGuiApplication>
#include <QScreen>
#endif

QRect PrimaryScreenArea()
{
#ifdef Q_OS_WIN
    return QRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
#else
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
#endif
}

QPoint CentredAThirdDown(const QRect& area, const QSize& window)
{
    return QPoint(area.x() + (area.width() - window.width()) / 2,
                  area.y() + (area.height() - window.height()) / 3);
}
