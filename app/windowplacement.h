#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// The area a new window is placed in: the primary screen's available area (panels left out) at
// its place among the screens; on Windows the whole primary screen.
QRect PrimaryScreenArea();

// The top-left corner of a window of this size in the area: centred across, with a third of the
// free height above it. The divisions truncate toward zero, so a window larger than the area
// starts before it.
QPoint CentredAThirdDown(const QRect& area, const QSize& window);

// Where a window placed at topLeft (its frame's corner) goes, and its size, so that it stays
// usable in the area: no larger than the area leaves room for, but not below minimum, and moved
// in from the area's edges; when it cannot fit, its title bar's start is what stays inside.
// frame: what the window's frame adds around it.
QRect KeptInArea(const QRect& area, const QPoint& topLeft, const QSize& window,
                 const QSize& minimum, const QMargins& frame);
