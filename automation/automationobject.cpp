#include "automation/automationobject.h"

#include "automation/membercall.h"
#include "automation/officeprocess.h"
#include "automation/spreadsheetserver.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<long long> callTimeLimitMs{0};
std::atomic<int> officeRestartInterval{0};
std::atomic<bool> archivalPdf{false};
std::mutex factoryMutex;
AutomationObject::ServerFactory serverFactory;

// The code ActiveQt reports for a member that raised an exception (DISP_E_EXCEPTION).
constexpr int ExceptionCode = static_cast<int>(0x80020009u);

const char* KindName(int kind)
{
    static const char* const names[] = {"null",    "application", "workbooks", "workbook",
                                        "sheets",  "worksheet",   "range",     "rows",
                                        "columns", "cell",        "shapes"};
    return names[kind];
}

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

bool EndSpreadsheetApplicationsNow()
{
    return OfficeProcess::EndAllNow();
}

AutomationObject::AutomationObject(QObject* parent) : QObject(parent) {}

AutomationObject::~AutomationObject() = default;

void AutomationObject::setCallTimeLimit(std::chrono::milliseconds limit)
{
    callTimeLimitMs = limit.count();
}

void AutomationObject::setOfficeRestartInterval(int workbooks)
{
    officeRestartInterval = workbooks;
}

void AutomationObject::setArchivalPdf(bool archival)
{
    archivalPdf = archival;
}

void AutomationObject::setServerFactory(ServerFactory factory)
{
    std::lock_guard<std::mutex> lock(factoryMutex);
    serverFactory = std::move(factory);
}

bool AutomationObject::setControl(const QString& progId)
{
    server_.reset();
    target_ = Target();
    if (progId.compare(QLatin1String("Excel.Application"), Qt::CaseInsensitive) != 0)
        return false;
    const long long setLimit = callTimeLimitMs;
    const std::chrono::milliseconds limit =
        setLimit > 0 ? std::chrono::milliseconds(setLimit) : SpreadsheetServer::DefaultCallLimit();
    {
        std::lock_guard<std::mutex> lock(factoryMutex);
        server_ = serverFactory ? serverFactory(limit)
                                : std::make_shared<SpreadsheetServer>(
                                      limit, officeRestartInterval,
                                      archivalPdf ? SpreadsheetServer::PdfKind::ArchivalPdfA2b
                                                  : SpreadsheetServer::PdfKind::Plain);
    }
    server_->Called("setControl(\"" + progId + "\")");
    if (!server_->Start()) {
        Fail();
        return false;
    }
    target_.kind = Kind::Application;
    return true;
}

bool AutomationObject::isNull() const
{
    return target_.kind == Kind::Null;
}

long AutomationObject::serverProcessId() const
{
    return server_ ? server_->ProcessId() : -1;
}

AutomationObject* AutomationObject::Child(const Target& target)
{
    auto* child = new AutomationObject(this);
    child->server_ = server_;
    child->target_ = target;
    return child;
}

void AutomationObject::Fail()
{
    emit exception(ExceptionCode, QStringLiteral("Excel.Application"), server_->LastError(),
                   QString());
}

void AutomationObject::Record(const char* how, const char* member, const QVariantList& args) const
{
    QString call = QString::fromLatin1(KindName(static_cast<int>(target_.kind))) + '.' + how +
                   "(\"" + QString::fromLatin1(member) + '"';
    for (const QVariant& arg : args)
        call += ", " + Described(arg);
    server_->Called(call + ')');
}

AutomationObject* AutomationObject::querySubObject(const char* name, const QVariant& var1,
                                                   const QVariant& var2, const QVariant& var3,
                                                   const QVariant& var4, const QVariant& var5,
                                                   const QVariant& var6, const QVariant& var7,
                                                   const QVariant& var8)
{
    if (!server_)
        return nullptr;
    const QVariantList args = GivenArguments(var1, var2, var3, var4, var5, var6, var7, var8);
    Record("querySubObject", name, args);
    const QByteArray member = MemberName(name);
    Target sub = target_;
    switch (target_.kind) {
    case Kind::Application:
        if (member == "workbooks") {
            sub.kind = Kind::Workbooks;
            return Child(sub);
        }
        break;
    case Kind::Workbooks: {
        QString path;
        if (member != "open" || !TextArgument(args, 0, path))
            break;
        sub.kind = Kind::Workbook;
        sub.workbook = server_->Open(path);
        if (sub.workbook)
            return Child(sub);
        Fail();
        return nullptr;
    }
    case Kind::Workbook:
        if (member != "sheets" && member != "worksheets")
            break;
        if (args.isEmpty()) {
            sub.kind = Kind::Sheets;
            return Child(sub);
        }
        if (!IntArgument(args, 0, sub.sheet))
            break;
        sub.kind = Kind::Worksheet;
        if (server_->HasSheet(sub.workbook, sub.sheet))
            return Child(sub);
        Fail();
        return nullptr;
    case Kind::Worksheet:
        if (member == "usedrange") {
            UsedRangeInfo range;
            if (!server_->UsedRange(sub.workbook, sub.sheet, range)) {
                Fail();
                return nullptr;
            }
            sub.kind = Kind::Range;
            sub.row = range.row;
            sub.column = range.column;
            sub.rows = range.rows;
            sub.columns = range.columns;
            return Child(sub);
        }
        if (member == "shapes") {
            sub.kind = Kind::Shapes;
            return Child(sub);
        }
        if (member == "cells" && IntArgument(args, 0, sub.row) &&
            IntArgument(args, 1, sub.column) && sub.row > 0 && sub.column > 0) {
            sub.kind = Kind::Cell;
            return Child(sub);
        }
        break;
    case Kind::Range:
        if (member == "rows" || member == "columns") {
            sub.kind = member == "rows" ? Kind::Rows : Kind::Columns;
            return Child(sub);
        }
        break;
    default:
        break;
    }
    return nullptr;
}

QVariant AutomationObject::dynamicCall(const char* function, const QVariant& var1,
                                       const QVariant& var2, const QVariant& var3,
                                       const QVariant& var4, const QVariant& var5,
                                       const QVariant& var6, const QVariant& var7,
                                       const QVariant& var8)
{
    if (!server_)
        return QVariant();
    const QVariantList args = GivenArguments(var1, var2, var3, var4, var5, var6, var7, var8);
    Record("dynamicCall", function, args);
    const QByteArray member = MemberName(function);
    switch (target_.kind) {
    case Kind::Application:
        // The server is always hidden, so "SetVisible" has nothing to do.
        if (member == "quit")
            server_->Quit();
        break;
    case Kind::Workbook:
    case Kind::Worksheet:
        if (member == "exportasfixedformat") {
            int type = -1;
            QString path;
            if (!IntArgument(args, 0, type) || !TextArgument(args, 1, path))
                break;
            if (type != 0) {
                emit exception(ExceptionCode, QStringLiteral("Excel.Application"),
                               QStringLiteral("only PDF (type 0) can be exported"), QString());
                break;
            }
            const int sheet = target_.kind == Kind::Worksheet ? target_.sheet : 0;
            if (!server_->ExportPdf(target_.workbook, sheet, path))
                Fail();
        } else if (member == "close" && target_.kind == Kind::Workbook) {
            if (!server_->Close(target_.workbook))
                Fail();
        }
        break;
    case Kind::Cell:
        if (member == "value")
            return CellValue();
        break;
    default:
        break;
    }
    return QVariant();
}

QVariant AutomationObject::CellValue()
{
    QVariant value;
    if (server_->CellValue(target_.workbook, target_.sheet, target_.row, target_.column, value))
        return value;
    Fail();
    return QVariant();
}

QVariant AutomationObject::property(const char* name)
{
    if (!server_)
        return QVariant();
    Record("property", name, {});
    const QByteArray member = MemberName(name);
    switch (target_.kind) {
    case Kind::Application:
        if (member == "displayalerts")
            return displayAlerts_;
        if (member == "visible")
            return false;
        break;
    case Kind::Sheets:
    case Kind::Shapes:
        if (member == "count") {
            const int count = target_.kind == Kind::Sheets
                                  ? server_->SheetCount(target_.workbook)
                                  : server_->ShapeCount(target_.workbook, target_.sheet);
            if (count >= 0)
                return count;
            Fail();
        }
        break;
    case Kind::Worksheet:
        if (member == "name") {
            QString sheetName;
            if (server_->SheetName(target_.workbook, target_.sheet, sheetName))
                return sheetName;
            Fail();
        } else if (member == "visible") {
            int visibility = 0;
            if (server_->SheetVisibility(target_.workbook, target_.sheet, visibility))
                return visibility;
            Fail();
        }
        break;
    case Kind::Range:
        if (member == "row")
            return target_.row;
        if (member == "column")
            return target_.column;
        break;
    case Kind::Rows:
        if (member == "count")
            return target_.rows;
        break;
    case Kind::Columns:
        if (member == "count")
            return target_.columns;
        break;
    case Kind::Cell:
        if (member == "value")
            return CellValue();
        break;
    default:
        break;
    }
    return QVariant();
}

bool AutomationObject::setProperty(const char* name, const QVariant& value)
{
    if (!server_)
        return false;
    Record("setProperty", name, {value});
    if (target_.kind != Kind::Application)
        return false;
    const QByteArray member = MemberName(name);
    if (member == "displayalerts")
        return BoolArgument({value}, 0, displayAlerts_);
    return member == "visible";
}
