#include "convert/atomicfile.h"

#ifdef Q_OS_WIN

#include <QSaveFile>

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error)
{
    // QSaveFile::commit() does not look at a failed flush of its buffer, so flush first.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit())
        return true;
    error = file.errorString();
    return false;
}

#else

#include "support/atomicfile.h"

#include <QFile>

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error)
{
    bool temporaryMade = false;
    const int failure = ReplaceFileAtomically(QFile::encodeName(path).toStdString(),
                                              bytes.toStdString(), temporaryMade);
    if (failure != 0)
        error = qt_error_string(failure);
    return failure == 0;
}

#endif
