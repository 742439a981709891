#include "convert/writablefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>

bool FolderWritable(const QString& folder, QString& reason)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quillsheet-probe-XXXXXX")));
    if (probe.open())
        return true;
    reason = probe.errorString();
    return false;
}

QString UnwritableOutputFolderLine(const QString& folder, const QString& reason)
{
    return QCoreApplication::translate("WritableFolder", "保存文件夹无法写入：%1：%2")
        .arg(QDir::toNativeSeparators(folder), reason);
}
