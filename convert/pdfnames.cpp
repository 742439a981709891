#include "convert/pdfnames.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

QString SafeFileName(const QString& name)
{
#ifdef Q_OS_WIN
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
#else
    static const QString forbidden = QStringLiteral("/");
#endif
    QString safe = name;
    for (QChar& c : safe)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || forbidden.contains(c))
            c = QLatin1Char('_');
    return safe;
}

QString FileNameKey(const QString& name)
{
#ifdef Q_OS_WIN
    return name.toCaseFolded();
#else
    return name;
#endif
}

QStringList PdfBaseNames(const QFileInfoList& workbooks)
{
    // Per folder, the bases already given.
    QHash<QString, QSet<QString>> given;
    QStringList bases;
    for (const QFileInfo& workbook : workbooks) {
        QSet<QString>& folder = given[FileNameKey(workbook.absolutePath())];
        QString base = workbook.completeBaseName();
        if (folder.contains(FileNameKey(base)))
            base = workbook.fileName();
        for (int copy = 2; folder.contains(FileNameKey(base)); ++copy)
            base = workbook.fileName() + QStringLiteral(" (%1)").arg(copy);
        folder.insert(FileNameKey(base));
        bases << base;
    }
    return bases;
}

QString NameGroupKey(const QString& baseName)
{
    int end = 0;
    while (end < baseName.size() && baseName[end] != QLatin1Char('(') &&
           baseName[end] != QLatin1Char('.'))
        ++end;
    return baseName.left(end).toCaseFolded();
}

bool FitsFileSystem(const QString& folder, const QString& fileName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return fileName.size() <= 255;
#else
    long limit = pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = 255;
    return QFile::encodeName(fileName).size() <= limit;
#endif
}
