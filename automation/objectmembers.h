#pragma once

#include "automation/automationobject.h"

#include <QByteArray>
#include <QVariantList>

// What each kind of automation object answers, kind by kind: the members of the automation
// table and what they do through the server. Members are given by their names (MemberName()).
struct AutomationObject::Members
{
    using SubObject = AutomationObject* (*)(AutomationObject& self, const QByteArray& member,
                                            const QVariantList& args);
    using Call = QVariant (*)(AutomationObject& self, const QByteArray& member,
                              const QVariantList& args);
    using Property = QVariant (*)(AutomationObject& self, const QByteArray& member);

    // One kind's name (as calls are recorded) and answers; null where it answers nothing.
    struct OfKind
    {
        Kind kind;
        const char* name;
        SubObject subObject;
        Call call;
        Property property;
    };
    static const OfKind& Of(Kind kind);

    static AutomationObject* SubOfApplication(AutomationObject& self, const QByteArray& member,
                                              const QVariantList& args);
    static AutomationObject* SubOfWorkbooks(AutomationObject& self, const QByteArray& member,
                                            const QVariantList& args);
    static AutomationObject* SubOfWorkbook(AutomationObject& self, const QByteArray& member,
                                           const QVariantList& args);
    static AutomationObject* SubOfWorksheet(AutomationObject& self, const QByteArray& member,
                                            const QVariantList& args);
    static AutomationObject* SubOfRange(AutomationObject& self, const QByteArray& member,
                                        const QVariantList& args);

    static QVariant CallOnApplication(AutomationObject& self, const QByteArray& member,
                                      const QVariantList& args);
    static QVariant CallOnWorkbook(AutomationObject& self, const QByteArray& member,
                                   const QVariantList& args);
    static QVariant CallOnWorksheet(AutomationObject& self, const QByteArray& member,
                                    const QVariantList& args);
    static QVariant CallOnCell(AutomationObject& self, const QByteArray& member,
                               const QVariantList& args);

    static QVariant PropertyOfApplication(AutomationObject& self, const QByteArray& member);
    static QVariant PropertyOfSheets(AutomationObject& self, const QByteArray& member);
    static QVariant PropertyOfWorksheet(AutomationObject& self, const QByteArray& member);
    static QVariant PropertyOfRange(AutomationObject& self, const QByteArray& member);
    static QVariant PropertyOfRows(AutomationObject& self, const QByteArray& member);
    static QVariant PropertyOfColumns(AutomationObject& self, const QByteArray& member);
    static QVariant PropertyOfCell(AutomationObject& self, const QByteArray& member);
    static QVariant PropertyOfShapes(AutomationObject& self, const QByteArray& member);

private:
    // ExportAsFixedFormat(type, path) of a workbook (sheet 0) or one worksheet.
    static void ExportAsFixedFormat(AutomationObject& self, int sheet, const QVariantList& args);
    static QVariant CellValue(AutomationObject& self);
    // A count the server gives, or -1 on failure.
    static QVariant Counted(AutomationObject& self, int count);
};
