#include "automation/temporarypdf.h"

#include "automation/failureclassification.h"
#include "automation/officenames.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

TemporaryPdf::TemporaryPdf(const QString& folder)
{
    // A name of a dead run whose id we now have is skipped by the exclusive create.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate =
            folder + '/' +
            QString::fromStdString(TemporaryPdfPrefix(getpid()) + std::to_string(++counter) +
                                   TemporaryPdfSuffix);
        const int fd = open(QFile::encodeName(candidate).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            path_ = candidate;
            return;
        }
        if (errno != EEXIST)
            break;
    }
    // Whatever stops it, the folder takes no file of ours; only a name too long says more.
    const int error = errno;
    failure_ = {error == ENAMETOOLONG ? FailureKind::NameTooLong : FailureKind::NotWritable,
                QStringLiteral("the folder cannot be written: ") +
                    QString::fromLocal8Bit(std::strerror(error))};
}

TemporaryPdf::~TemporaryPdf()
{
    if (!path_.isEmpty())
        unlink(QFile::encodeName(path_).constData());
}

bool TemporaryPdf::replace(const QString& target)
{
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target).constData()) !=
        0) {
        const int error = errno;
        failure_ = {KindOfErrno(error), QStringLiteral("the PDF cannot take its place: ") +
                                            QString::fromLocal8Bit(std::strerror(error))};
        return false;
    }
    path_.clear();
    return true;
}
