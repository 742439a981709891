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

QRect KeptInArea(const QRect& area, const QPoint& topLeft, const QSize& window,
                 const QSize& minimum, const QMargins& frame)
{
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const QSize size(qMax(minimum.width(), qMin(window.width(), area.width() - frameWidth)),
                     qMax(minimum.height(), qMin(window.height(), area.height() - frameHeight)));
    // Right and bottom edges first, so that the left and top ones win when it cannot fit.
    int x = qMin(topLeft.x(), area.x() + area.width() - size.width() - frameWidth);
    int y = qMin(topLeft.y(), area.y() + area.height() - size.height() - frameHeight);
    x = qMax(x, area.x());
    y = qMax(y, area.y());
    return QRect(QPoint(x, y), size);
}
