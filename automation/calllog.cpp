#include "automation/calllog.h"

namespace {

QString Described(const QVariant& value)
{
    switch (value.type()) {
    case QVariant::String:
        return '"' + value.toString() + '"';
    case QVariant::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return value.toString();
    }
}

} // namespace

QString CallText(const char* object, const char* how, const char* member, const QVariantList& args)
{
    QString call =
        QString::fromLatin1(object) + '.' + how + "(\"" + QString::fromLatin1(member) + '"';
    for (const QVariant& arg : args)
        call += ", " + Described(arg);
    return call + ')';
}
