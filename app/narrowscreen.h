#pragma once

class QGroupBox;
class QWidget;

// What lets the window fit a screen narrower than its usual layout needs.

// Takes a control out of its row (a widget laid out in a line) and puts it on a line of its own
// right below that row, in the layout that holds the row.
void PutOnALineBelowItsRow(QWidget* control);

// Keeps the box's title, shortened at its end to the box's width whenever it does not fit; the
// whole title becomes its tool tip.
void ElideTitleToWidth(QGroupBox* box);

// Lets the box be as narrow as its contents allow, however long its title: sets its minimum width
// from its layout. Called again once its contents change.
void NarrowToContents(QGroupBox* box);

// Lets no button be narrower than its text.
void KeepTextWhole(QWidget* button);
