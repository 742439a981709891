#include "convert/updatestate.h"

#include "convert/atomicfile.h"
#include "convert/folderpath.h"
#include "convert/visibletext.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStandardPaths>

namespace {

QJsonObject ToJson(const FileVersion& version)
{
    return QJsonObject{{"size", version.size}, {"modified", version.modified}};
}

FileVersion FromJson(const QJsonObject& object)
{
    return {object.value(QStringLiteral("size")).toVariant().toLongLong(),
            object.value(QStringLiteral("modified")).toVariant().toLongLong()};
}

} // namespace

FileVersion FileVersion::Of(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    return {file.size(), file.lastModified().toMSecsSinceEpoch()};
}

UpdateState::UpdateState(const QString& source, const QString& output, bool mergeSheets, bool pdfA,
                         const Shard& shard)
{
    QString kind = source + '\n' + (output.isEmpty() ? QStringLiteral("beside") : output) + '\n' +
                   (mergeSheets ? "merged" : "per-sheet") + '\n' + (pdfA ? "pdfa" : "pdf");
    // Each share keeps its own state; a whole run's key is as it always was.
    if (shard.count > 1)
        kind += QStringLiteral("\nshard %1/%2").arg(shard.index).arg(shard.count);
    const QByteArray key =
        QCryptographicHash::hash(kind.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    filePath = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
               QStringLiteral("/update/") + QString::fromLatin1(key) + QStringLiteral(".json");
}

bool UpdateState::Lock(const std::function<void()>& waiting, QString& error)
{
    // Without its folder there is no state to share: Save() tells why it cannot keep one.
    QString noFolder;
    if (!MakeFolderPath(QFileInfo(filePath).absolutePath(), noFolder))
        return true;
    std::string why;
    if (lock.Lock(QFile::encodeName(filePath + QStringLiteral(".lock")).toStdString(), waiting,
                  why))
        return true;
    error = QString::fromLocal8Bit(why.c_str());
    return false;
}

void UpdateState::Load()
{
    conversions.clear();
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // Whatever does not read as a state is no state: the run converts everything.
    const QJsonObject workbooks = QJsonDocument::fromJson(file.readAll())
                                      .object()
                                      .value(QStringLiteral("workbooks"))
                                      .toObject();
    for (auto entry = workbooks.begin(); entry != workbooks.end(); ++entry) {
        const QJsonObject object = entry.value().toObject();
        Conversion conversion{FromJson(object), {}};
        for (const QJsonValue pdf : object.value(QStringLiteral("pdfs")).toArray())
            conversion.pdfs.append({pdf.toObject().value(QStringLiteral("path")).toString(),
                                    FromJson(pdf.toObject())});
        conversions.insert(entry.key(), conversion);
    }
}

bool UpdateState::UpToDate(const QString& workbook, const FileVersion& version) const
{
    const auto found = conversions.constFind(workbook);
    if (found == conversions.constEnd() || version.size < 0 || found->workbook != version)
        return false;
    // A PDF already gone when the state was kept reads as "no such file" then and now.
    for (const Pdf& pdf : found->pdfs)
        if (pdf.path.isEmpty() || pdf.version.size < 0 || FileVersion::Of(pdf.path) != pdf.version)
            return false;
    return true;
}

void UpdateState::RemoveOutdatedPdfs(RunRecord& record) const
{
    QSet<QString> written;
    for (const WorkbookRecord& workbook : record.workbooks)
        for (const PdfRecord& pdf : workbook.pdfs)
            written.insert(pdf.path);
    for (WorkbookRecord& workbook : record.workbooks) {
        const auto found = conversions.constFind(workbook.path);
        if (workbook.outcome != WorkbookRecord::Outcome::Converted ||
            found == conversions.constEnd())
            continue;
        for (const Pdf& pdf : found->pdfs) {
            if (pdf.path.isEmpty() || pdf.version.size < 0 || written.contains(pdf.path) ||
                FileVersion::Of(pdf.path) != pdf.version)
                continue;
            QFile file(pdf.path);
            if (file.remove())
                workbook.removedPdfs << pdf.path;
            else
                record.runFailures
                    << QCoreApplication::translate("Run", "无法删除不再生成的pdf文件：%1：%2")
                           .arg(VisibleText(pdf.path), file.errorString());
        }
    }
}

void UpdateState::Update(const RunRecord& record, const QHash<QString, FileVersion>& planned)
{
    for (const WorkbookRecord& workbook : record.workbooks) {
        if (workbook.outcome == WorkbookRecord::Outcome::Failed) {
            conversions.remove(workbook.path);
        } else if (workbook.outcome == WorkbookRecord::Outcome::Converted) {
            Conversion conversion{planned.value(workbook.path), {}};
            for (const PdfRecord& pdf : workbook.pdfs)
                conversion.pdfs.append({pdf.path, FileVersion::Of(pdf.path)});
            conversions.insert(workbook.path, conversion);
        }
    }
    for (auto entry = conversions.begin(); entry != conversions.end();)
        entry = QFileInfo::exists(entry.key()) ? std::next(entry) : conversions.erase(entry);
}

bool UpdateState::Save(QString& error) const
{
    QJsonObject workbooks;
    for (auto entry = conversions.constBegin(); entry != conversions.constEnd(); ++entry) {
        QJsonArray pdfs;
        for (const Pdf& pdf : entry->pdfs) {
            QJsonObject object = ToJson(pdf.version);
            object.insert(QStringLiteral("path"), pdf.path);
            pdfs.append(object);
        }
        QJsonObject object = ToJson(entry->workbook);
        object.insert(QStringLiteral("pdfs"), pdfs);
        workbooks.insert(entry.key(), object);
    }
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{"workbooks", workbooks}}).toJson(QJsonDocument::Compact);
    return MakeFolderPath(QFileInfo(filePath).absolutePath(), error) &&
           WriteFileAtomically(filePath, bytes, error);
}
