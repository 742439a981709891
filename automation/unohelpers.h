#pragma once

// Conversions between our Qt values and the UNO values the office takes.

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <QString>

#include <initializer_list>
#include <vector>

// The UNO names that every file of the server that talks to the office uses.
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

rtl::OUString ToUno(const QString& text);
QString FromUno(const rtl::OUString& text);

// The office's URL of a local file: absolute, UTF-8 percent-encoded.
rtl::OUString FileUrl(const QString& path);

css::beans::PropertyValue Property(const char* name, const css::uno::Any& value);
css::uno::Sequence<css::beans::PropertyValue>
Properties(std::initializer_list<css::beans::PropertyValue> list);
css::uno::Sequence<css::beans::PropertyValue>
Properties(const std::vector<css::beans::PropertyValue>& list);
