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

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A new file beside target, made with the umask's permissions; -1 with errno when it cannot be.
int CreateBeside(const QByteArray& target, QByteArray& temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary =
            target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        const int fd = open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// 0, or the errno of the first write that failed.
int WriteAll(int fd, const QByteArray& bytes)
{
    const char* at = bytes.constData();
    for (qint64 left = bytes.size(); left > 0;) {
        const ssize_t written = write(fd, at, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        at += written;
        left -= written;
    }
    return 0;
}

// The file that replaces an existing one keeps its permissions.
int KeepMode(int fd, const QByteArray& target)
{
    struct stat existing;
    if (stat(target.constData(), &existing) != 0)
        return errno == ENOENT ? 0 : errno;
    return fchmod(fd, existing.st_mode & 07777) == 0 ? 0 : errno;
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    const int fd = CreateBeside(target, temporary);
    if (fd < 0) {
        error = qt_error_string(errno);
        return false;
    }
    int failure = WriteAll(fd, bytes);
    if (!failure)
        failure = KeepMode(fd, target);
    if (!failure && fsync(fd) != 0)
        failure = errno;
    if (close(fd) != 0 && !failure)
        failure = errno;
    if (!failure && std::rename(temporary.constData(), target.constData()) != 0)
        failure = errno;
    if (!failure)
        return true;
    unlink(temporary.constData());
    error = qt_error_string(failure);
    return false;
}

#endif
