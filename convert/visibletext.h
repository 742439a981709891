#pragma once

#include <QString>

// The text with every character that would move the cursor or drive a terminal (line breaks,
// other control characters, escape bytes, Unicode's line and paragraph separators) written as a
// visible escape: "\n", "\r", "\t", "\x1b", "\u2028". Names from the file system or a workbook
// pass through it before they become part of a status text, so that no name can forge a line.
QString VisibleText(const QString& text);
