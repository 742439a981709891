#include "automation/unohelpers.h"

#include <QFileInfo>
#include <QUrl>

using rtl::OUString;

OUString ToUno(const QString& text)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

QString FromUno(const OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

OUString FileUrl(const QString& path)
{
    return ToUno(
        QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded()));
}

css::beans::PropertyValue Property(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue property;
    property.Name = OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

css::uno::Sequence<css::beans::PropertyValue>
Properties(std::initializer_list<css::beans::PropertyValue> list)
{
    return css::uno::Sequence<css::beans::PropertyValue>(list.begin(),
                                                         static_cast<sal_Int32>(list.size()));
}

css::uno::Sequence<css::beans::PropertyValue>
Properties(const std::vector<css::beans::PropertyValue>& list)
{
    return css::uno::Sequence<css::beans::PropertyValue>(list.data(),
                                                         static_cast<sal_Int32>(list.size()));
}
