#include "automation/loadrefusal.h"

#include "automation/failureclassification.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

ReportedFailure RefusalBeforeLoading(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat file = {};
    if (stat(native.constData(), &file) != 0) {
        const int error = errno;
        if (error == ENAMETOOLONG)
            return {KindOfTooLongPath(native.toStdString()),
                    QStringLiteral("the path is too long: ") +
                        QString::fromLocal8Bit(std::strerror(error))};
        // A folder on the way this user may not enter hides the file, which may well be there.
        if (error == EACCES)
            return {FailureKind::NotReadable, QStringLiteral("the file may not be read: ") +
                                                  QString::fromLocal8Bit(std::strerror(error))};
        return {FailureKind::FileMissing, QStringLiteral("the file does not exist")};
    }
    if (!S_ISREG(file.st_mode))
        return {FailureKind::FileMissing, QStringLiteral("the file does not exist")};
    if (file.st_size == 0)
        return {FailureKind::FileEmpty, QStringLiteral("the file is empty")};
    if (access(native.constData(), R_OK) != 0)
        return {FailureKind::NotReadable, QStringLiteral("the file may not be read: ") +
                                              QString::fromLocal8Bit(std::strerror(errno))};
    return {};
}
