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

QList<int> NameGroupFirsts(const QStringList& folders, const QStringList& baseNames)
{
    // Per folder, the first workbook of each base, without case.
    QHash<QString, QHash<QString, int>> firstOfBase;
    for (int i = baseNames.size() - 1; i >= 0; --i)
        firstOfBase[folders[i]].insert(baseNames[i].toCaseFolded(), i);
    QList<int> firsts;
    for (int i = 0; i < baseNames.size(); ++i) {
        const QHash<QString, int>& bases = firstOfBase[folders[i]];
        const QString base = baseNames[i].toCaseFolded();
        // The shortest base that this one is, or extends with "(".
        int first = bases.value(base);
        for (int end = base.indexOf(QLatin1Char('(')); end >= 0;
             end = base.indexOf(QLatin1Char('('), end + 1)) {
            const auto found = bases.constFind(base.left(end));
            if (found != bases.constEnd()) {
                first = *found;
                break;
            }
        }
        firsts << first;
    }
    return firsts;
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
