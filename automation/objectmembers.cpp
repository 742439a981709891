#include "automation/objectmembers.h"

#include "automation/automationserver.h"
#include "automation/membercall.h"

const AutomationObject::Members::OfKind& AutomationObject::Members::Of(Kind kind)
{
    static const OfKind kinds[] = {
        {Kind::Null, "null", nullptr, nullptr, nullptr},
        {Kind::Application, "application", &SubOfApplication, &CallOnApplication,
         &PropertyOfApplication},
        {Kind::Workbooks, "workbooks", &SubOfWorkbooks, nullptr, nullptr},
        {Kind::Workbook, "workbook", &SubOfWorkbook, &CallOnWorkbook, nullptr},
        {Kind::Sheets, "sheets", nullptr, nullptr, &PropertyOfSheets},
        {Kind::Worksheet, "worksheet", &SubOfWorksheet, &CallOnWorksheet, &PropertyOfWorksheet},
        {Kind::Range, "range", &SubOfRange, nullptr, &PropertyOfRange},
        {Kind::Rows, "rows", nullptr, nullptr, &PropertyOfRows},
        {Kind::Columns, "columns", nullptr, nullptr, &PropertyOfColumns},
        {Kind::Cell, "cell", nullptr, &CallOnCell, &PropertyOfCell},
        {Kind::Shapes, "shapes", nullptr, nullptr, &PropertyOfShapes},
    };
    for (const OfKind& of : kinds)
        if (of.kind == kind)
            return of;
    return kinds[0];
}

AutomationObject* AutomationObject::Members::SubOfApplication(AutomationObject& self,
                                                              const QByteArray& member,
                                                              const QVariantList&)
{
    if (member != "workbooks")
        return nullptr;
    Target sub = self.target_;
    sub.kind = Kind::Workbooks;
    return self.Child(sub);
}

AutomationObject* AutomationObject::Members::SubOfWorkbooks(AutomationObject& self,
                                                            const QByteArray& member,
                                                            const QVariantList& args)
{
    QString path;
    if (member != "open" || !TextArgument(args, 0, path))
        return nullptr;
    Target sub = self.target_;
    sub.kind = Kind::Workbook;
    sub.workbook = self.server_->Open(path);
    if (sub.workbook)
        return self.Child(sub);
    self.Fail();
    return nullptr;
}

AutomationObject* AutomationObject::Members::SubOfWorkbook(AutomationObject& self,
                                                           const QByteArray& member,
                                                           const QVariantList& args)
{
    if (member != "sheets" && member != "worksheets")
        return nullptr;
    Target sub = self.target_;
    if (args.isEmpty()) {
        sub.kind = Kind::Sheets;
        return self.Child(sub);
    }
    if (!IntArgument(args, 0, sub.sheet))
        return nullptr;
    sub.kind = Kind::Worksheet;
    if (self.server_->HasSheet(sub.workbook, sub.sheet))
        return self.Child(sub);
    self.Fail();
    return nullptr;
}

AutomationObject* AutomationObject::Members::SubOfWorksheet(AutomationObject& self,
                                                            const QByteArray& member,
                                                            const QVariantList& args)
{
    Target sub = self.target_;
    if (member == "usedrange") {
        UsedRangeInfo range;
        if (!self.server_->UsedRange(sub.workbook, sub.sheet, range)) {
            self.Fail();
            return nullptr;
        }
        sub.kind = Kind::Range;
        sub.row = range.row;
        sub.column = range.column;
        sub.rows = range.rows;
        sub.columns = range.columns;
        return self.Child(sub);
    }
    if (member == "shapes") {
        sub.kind = Kind::Shapes;
        return self.Child(sub);
    }
    if (member == "cells" && IntArgument(args, 0, sub.row) && IntArgument(args, 1, sub.column) &&
        sub.row > 0 && sub.column > 0) {
        sub.kind = Kind::Cell;
        return self.Child(sub);
    }
    return nullptr;
}

AutomationObject* AutomationObject::Members::SubOfRange(AutomationObject& self,
                                                        const QByteArray& member,
                                                        const QVariantList&)
{
    if (member != "rows" && member != "columns")
        return nullptr;
    Target sub = self.target_;
    sub.kind = member == "rows" ? Kind::Rows : Kind::Columns;
    return self.Child(sub);
}

QVariant AutomationObject::Members::CallOnApplication(AutomationObject& self,
                                                      const QByteArray& member, const QVariantList&)
{
    // The server is always hidden, so "SetVisible" has nothing to do.
    if (member == "quit")
        self.server_->Quit();
    return QVariant();
}

QVariant AutomationObject::Members::CallOnWorkbook(AutomationObject& self, const QByteArray& member,
                                                   const QVariantList& args)
{
    if (member == "exportasfixedformat")
        ExportAsFixedFormat(self, 0, args);
    else if (member == "close" && !self.server_->Close(self.target_.workbook))
        self.Fail();
    return QVariant();
}

QVariant AutomationObject::Members::CallOnWorksheet(AutomationObject& self,
                                                    const QByteArray& member,
                                                    const QVariantList& args)
{
    if (member == "exportasfixedformat")
        ExportAsFixedFormat(self, self.target_.sheet, args);
    return QVariant();
}

QVariant AutomationObject::Members::CallOnCell(AutomationObject& self, const QByteArray& member,
                                               const QVariantList&)
{
    return member == "value" ? CellValue(self) : QVariant();
}

void AutomationObject::Members::ExportAsFixedFormat(AutomationObject& self, int sheet,
                                                    const QVariantList& args)
{
    int type = -1;
    QString path;
    if (!IntArgument(args, 0, type) || !TextArgument(args, 1, path))
        return;
    if (type != 0) {
        self.Fail({FailureKind::Reported, QStringLiteral("only PDF (type 0) can be exported")});
        return;
    }
    if (!self.server_->ExportPdf(self.target_.workbook, sheet, path))
        self.Fail();
}

QVariant AutomationObject::Members::PropertyOfApplication(AutomationObject& self,
                                                          const QByteArray& member)
{
    if (member == "displayalerts")
        return self.displayAlerts_;
    if (member == "visible")
        return false;
    return QVariant();
}

QVariant AutomationObject::Members::PropertyOfSheets(AutomationObject& self,
                                                     const QByteArray& member)
{
    return member == "count" ? Counted(self, self.server_->SheetCount(self.target_.workbook))
                             : QVariant();
}

QVariant AutomationObject::Members::PropertyOfShapes(AutomationObject& self,
                                                     const QByteArray& member)
{
    return member == "count"
               ? Counted(self, self.server_->ShapeCount(self.target_.workbook, self.target_.sheet))
               : QVariant();
}

QVariant AutomationObject::Members::Counted(AutomationObject& self, int count)
{
    if (count >= 0)
        return count;
    self.Fail();
    return QVariant();
}

QVariant AutomationObject::Members::PropertyOfWorksheet(AutomationObject& self,
                                                        const QByteArray& member)
{
    const Target& target = self.target_;
    if (member == "name") {
        QString sheetName;
        if (self.server_->SheetName(target.workbook, target.sheet, sheetName))
            return sheetName;
        self.Fail();
    } else if (member == "visible") {
        int visibility = 0;
        if (self.server_->SheetVisibility(target.workbook, target.sheet, visibility))
            return visibility;
        self.Fail();
    }
    return QVariant();
}

QVariant AutomationObject::Members::PropertyOfRange(AutomationObject& self,
                                                    const QByteArray& member)
{
    if (member == "row")
        return self.target_.row;
    if (member == "column")
        return self.target_.column;
    return QVariant();
}

QVariant AutomationObject::Members::PropertyOfRows(AutomationObject& self, const QByteArray& member)
{
    return member == "count" ? QVariant(self.target_.rows) : QVariant();
}

QVariant AutomationObject::Members::PropertyOfColumns(AutomationObject& self,
                                                      const QByteArray& member)
{
    return member == "count" ? QVariant(self.target_.columns) : QVariant();
}

QVariant AutomationObject::Members::PropertyOfCell(AutomationObject& self, const QByteArray& member)
{
    return member == "value" ? CellValue(self) : QVariant();
}

QVariant AutomationObject::Members::CellValue(AutomationObject& self)
{
    const Target& target = self.target_;
    QVariant value;
    if (self.server_->CellValue(target.workbook, target.sheet, target.row, target.column, value))
        return value;
    self.Fail();
    return QVariant();
}
