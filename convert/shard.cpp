#include "convert/shard.h"

#include <QRegularExpression>

#include <cstdint>

bool ParseShard(const QString& text, Shard& shard)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^([0-9]{1,6})/([0-9]{1,6})$")).match(text);
    if (!match.hasMatch())
        return false;
    const int index = match.captured(1).toInt();
    const int count = match.captured(2).toInt();
    if (index < 1 || index > count)
        return false;
    shard = {index, count};
    return true;
}

bool InShard(const QString& relativePath, const QString& baseKey, const Shard& shard)
{
    const int slash = relativePath.lastIndexOf(QLatin1Char('/'));
    const QByteArray key = (relativePath.left(slash + 1) + baseKey).toUtf8();
    // FNV-1a: fixed, unlike Qt's seeded hashes, so every machine splits alike.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : key) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ull;
    }
    return static_cast<int>(hash % static_cast<std::uint64_t>(shard.count)) == shard.index - 1;
}
