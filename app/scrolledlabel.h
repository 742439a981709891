#pragma once

class ElidingLabel;
class QScrollArea;

// Puts label, in its place in its parent's layout, into a scroll area of the same place, so that
// however many lines it has they are all there to see without the window growing; the area
// keeps the last line in view (a summary's last line leads to the report).
QScrollArea* PutInScrollArea(ElidingLabel* label);
