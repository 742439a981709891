#pragma once

#include <QString>
#include <QVariantList>

// How a call on an automation object is told to its server: object.how("member", args…), with
// texts quoted and booleans as true/false, e.g. worksheet.dynamicCall("Close (Boolean)", false).
QString CallText(const char* object, const char* how, const char* member, const QVariantList& args);
