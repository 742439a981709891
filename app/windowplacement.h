#pragma once

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
