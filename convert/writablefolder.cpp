#include "convert/writablefolder.h"

#include <QCoreApplication>
#include <QDir>

#ifdef Q_OS_WIN
#include <QTemporaryFile>
#else
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>
#endif

bool FolderWritable(const QString& folder, QString& reason)
{
#ifdef Q_OS_WIN
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quillsheet-probe-XXXXXX")));
    if (probe.open())
        return true;
    reason = probe.errorString();
    return false;
#else
    QByteArray probe = QFile::encodeName(QDir(folder).filePath(
        QStringLiteral(".quillsheet-probe-%1-XXXXXX").arg(QCoreApplication::applicationPid())));
    const int descriptor = mkostemp(probe.data(), O_CLOEXEC);
    if (descriptor >= 0) {
        close(descriptor);
        unlink(probe.constData());
        return true;
    }
    // A full disk is no folder that cannot be written: each workbook then says so, as it would
    // once the disk fills during the run.
    if (errno == ENOSPC || errno == EDQUOT)
        return true;
    reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
#endif
}

QString UnwritableOutputFolderLine(const QString& folder, const QString& reason)
{
    return QCoreApplication::translate("WritableFolder", "保存文件夹无法写入：%1：%2")
        .arg(QDir::toNativeSeparators(folder), reason);
}
