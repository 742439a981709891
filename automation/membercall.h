#pragma once

#include <QByteArray>
#include <QVariant>
#include <QVariantList>

// How automation member strings and arguments are read, as COM reads them through ActiveQt.

// The member's name: the text before any "(", blanks trimmed, in lower case, so that
// "SetVisible (bool Visible)", "setvisible" and "SETVISIBLE()" name the same member.
QByteArray MemberName(const char* member);

// The arguments actually given: the leading valid ones of up to eight.
QVariantList GivenArguments(const QVariant& var1, const QVariant& var2, const QVariant& var3,
                            const QVariant& var4, const QVariant& var5, const QVariant& var6,
                            const QVariant& var7, const QVariant& var8);

// Argument index's value converted to a parameter's type, as ActiveQt converts: the text
// "false" (or "0", or "") is false for a bool, a numeric text is a number. Missing or
// unconvertible arguments give false.
bool BoolArgument(const QVariantList& args, int index, bool& value);
bool IntArgument(const QVariantList& args, int index, int& value);
bool TextArgument(const QVariantList& args, int index, QString& value);
