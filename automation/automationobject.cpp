#include "automation/automationobject.h"

#include "automation/automationserver.h"
#include "automation/calllog.h"
#include "automation/membercall.h"
#include "automation/objectmembers.h"
#include "automation/officeprocess.h"
#include "automation/officesandbox.h"
#include "automation/serverconfiguration.h"

#include <QLocale>

bool EndSpreadsheetApplicationsNow()
{
    return OfficeProcess::EndAllNow();
}

bool StopSpreadsheetApplicationsNow()
{
    return OfficeProcess::KillAllNow();
}

void AllowSpreadsheetApplications()
{
    OfficeProcess::AllowStarts();
}

QString SpreadsheetSandboxProblem()
{
    return QString::fromStdString(SandboxProblem());
}

AutomationObject::AutomationObject(QObject* parent) : QObject(parent) {}

AutomationObject::~AutomationObject() = default;

bool AutomationObject::setControl(const QString& progId)
{
    server_.reset();
    target_ = Target();
    if (progId.compare(QLatin1String("Excel.Application"), Qt::CaseInsensitive) != 0)
        return false;
    server_ = NewConfiguredServer();
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
    Fail(server_->LastFailure());
}

void AutomationObject::Fail(const ReportedFailure& failure)
{
    emit exception(
        static_cast<int>(failure.kind), QStringLiteral("Excel.Application"), failure.message,
        failure.limit != 0 ? QString::number(failure.limit, 'g', QLocale::FloatingPointShortest)
                           : QString());
}

void AutomationObject::Record(const char* how, const char* member, const QVariantList& args) const
{
    server_->Called(CallText(Members::Of(target_.kind).name, how, member, args));
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
    const Members::SubObject answer = Members::Of(target_.kind).subObject;
    return answer ? answer(*this, MemberName(name), args) : nullptr;
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
    const Members::Call answer = Members::Of(target_.kind).call;
    return answer ? answer(*this, MemberName(function), args) : QVariant();
}

QVariant AutomationObject::property(const char* name)
{
    if (!server_)
        return QVariant();
    Record("property", name, {});
    const Members::Property answer = Members::Of(target_.kind).property;
    return answer ? answer(*this, MemberName(name)) : QVariant();
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
