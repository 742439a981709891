#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to path atomically (a report, what an update run keeps): readers see the old
// file or the whole new one. Every write, the flush to the disk and the final rename are
// checked; when one fails the old file stays as it was, no temporary file is left, and the
// result is false with the system's reason in error.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error);
