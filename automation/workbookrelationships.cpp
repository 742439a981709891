#include "automation/workbookrelationships.h"

#include <QDir>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

// A target as the package names its parts: relative to the workbook part's folder, or from the
// package's root with a leading "/"; empty for one that would leave the package.
QString PartName(const QString& target)
{
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    const QString path =
        QDir::cleanPath(decoded.startsWith('/') ? decoded.mid(1) : QStringLiteral("xl/") + decoded);
    return path.startsWith(QLatin1String("..")) || path.startsWith('/') ? QString() : path;
}

} // namespace

std::map<QString, QString> WorkbookRelationshipTargets(const QByteArray& relationships)
{
    std::map<QString, QString> targets;
    QXmlStreamReader xml(relationships);
    int depth = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference)
            return {};
        if (token == QXmlStreamReader::EndElement)
            --depth;
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        if (depth == 1 && xml.name() != QLatin1String("Relationships"))
            return {};
        const QXmlStreamAttributes attributes = xml.attributes();
        if (depth != 2 || xml.name() != QLatin1String("Relationship") ||
            attributes.value(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        const QString part = PartName(attributes.value(QLatin1String("Target")).toString());
        if (!part.isEmpty())
            targets[attributes.value(QLatin1String("Id")).toString()] = part;
    }
    return xml.hasError() ? std::map<QString, QString>() : targets;
}
