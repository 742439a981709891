#pragma once

// Conversions between our Qt values and the UNO values the office takes.

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <QString>

#include <initializer_list>
#include <vector>

rtl::OUString ToUno(const QString& text);
QString FromUno(const rtl::OUString& text);

// The office's URL of a local file: absolute, UTF-8 percent-encoded.
rtl::OUString FileUrl(const QString& path);

css::beans::PropertyValue Property(const char* name, const css::uno::Any& value);
css::uno::Sequence<css::beans::PropertyValue>
Properties(std::initializer_list<css::beans::PropertyValue> list);
css::uno::Sequence<css::beans::PropertyValue>
Properties(const std::vector<css::beans::PropertyValue>& list);
