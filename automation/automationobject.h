#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

#include "support/regionpaper.h"

#include <chrono>
#include <functional>
#include <memory>

class AutomationServer;
struct ReportedFailure;

// Kills every office that servers of this process still run and removes their files, at once and
// from any thread, for a program that ends right afterwards (a second stop signal, a lost
// display). False when none ran.
bool EndSpreadsheetApplicationsNow();

// Kills every office that servers of this process run, at once and from any thread, so that a
// run stopped by the user need not wait for the workbooks in work: their calls fail, their
// servers remove the offices' files, and no office starts until
// AllowSpreadsheetApplications(). False when none ran.
bool StopSpreadsheetApplicationsNow();
void AllowSpreadsheetApplications();

// What keeps the offices of servers from running in a sandbox on this machine, in bubblewrap's
// words where it tells; empty when one can be had. Starts no office.
QString SpreadsheetSandboxProblem();

// A late-bound automation object with the calls that ActiveQt's QAxObject offers, for platforms
// without COM. Binding to "Excel.Application" starts a spreadsheet server (LibreOffice); every
// object obtained through it is a Qt child of the object it came from, so deleting the
// application object releases all of them and ends the server. After a failed bind the object
// is null. Member names are matched as COM matches them (see membercall.h). A call that the
// server cannot answer returns nothing and emits exception() with the reason; unknown members and
// calls on a null object just return nothing.
class AutomationObject : public QObject
{
    Q_OBJECT

public:
    explicit AutomationObject(QObject* parent = nullptr);
    ~AutomationObject() override;

    // Binds to the automation server of that ProgID; true when bound.
    bool setControl(const QString& progId);
    bool isNull() const;

    AutomationObject*
    querySubObject(const char* name, const QVariant& var1 = QVariant(),
                   const QVariant& var2 = QVariant(), const QVariant& var3 = QVariant(),
                   const QVariant& var4 = QVariant(), const QVariant& var5 = QVariant(),
                   const QVariant& var6 = QVariant(), const QVariant& var7 = QVariant(),
                   const QVariant& var8 = QVariant());
    QVariant dynamicCall(const char* function, const QVariant& var1 = QVariant(),
                         const QVariant& var2 = QVariant(), const QVariant& var3 = QVariant(),
                         const QVariant& var4 = QVariant(), const QVariant& var5 = QVariant(),
                         const QVariant& var6 = QVariant(), const QVariant& var7 = QVariant(),
                         const QVariant& var8 = QVariant());
    QVariant property(const char* name);
    bool setProperty(const char* name, const QVariant& value);

    // The time limit of each call into the spreadsheet server for servers bound from now on;
    // by default SpreadsheetServer::DefaultCallLimit().
    static void setCallTimeLimit(std::chrono::milliseconds limit);

    // After how many workbooks the spreadsheet server replaces its office, for servers bound from
    // now on (0: its default).
    static void setOfficeRestartInterval(int workbooks);

    // Whether servers bound from now on write PDF/A-2b with every font embedded.
    static void setArchivalPdf(bool archival);

    // The paper that servers bound from now on give sheets that name none, or one the office has
    // no size for: the user's region's (by default A4).
    static void setRegionPaper(Paper paper);

    // For servers bound from now on: whether their office runs in a sandbox, where one can be had
    // (by default not: a run asks for it), and the folders it may read and write there besides
    // its own.
    static void setSandbox(bool sandbox, const QStringList& readable, const QStringList& writable);

    // For servers bound from now on, the limits of one workbook's conversion: the office's memory
    // in GB (0: the machine's memory shared among offices and one more, at most 4 GB), and its
    // time (0: 10 times the call limit).
    static void setWorkbookLimits(double memoryGB, std::chrono::milliseconds time, int offices);
    // The memory ceiling when none is set, in bytes, rounded down to a tenth of a GB.
    static long long defaultMemoryCeiling(int offices);

    // What binding to "Excel.Application" creates from now on: a stand-in server for tests, or
    // (with an empty factory) the LibreOffice server again.
    using ServerFactory =
        std::function<std::shared_ptr<AutomationServer>(std::chrono::milliseconds callLimit)>;
    static void setServerFactory(ServerFactory factory);

    // The process id of the office behind this object, or -1: for diagnostics and tests.
    long serverProcessId() const;

signals:
    // QAxObject's signal, its arguments filled as this server can: code, the failure's kind
    // (FailureKind); desc, the server's message; help, the limit that was exceeded, if any.
    void exception(int code, const QString& source, const QString& desc, const QString& help);

private:
    enum class Kind
    {
        Null,
        Application,
        Workbooks,
        Workbook,
        Sheets,
        Worksheet,
        Range,
        Rows,
        Columns,
        Cell,
        Shapes
    };
    struct Target
    {
        Kind kind = Kind::Null;
        int workbook = 0;
        int sheet = 0;
        int row = 0;
        int column = 0;
        int rows = 0;
        int columns = 0;
    };

    struct Members; // what each kind answers (objectmembers.h)

    AutomationObject* Child(const Target& target);
    // Emits exception() with the server's reason for its last failed call, or with this one.
    void Fail();
    void Fail(const ReportedFailure& failure);
    void Record(const char* how, const char* member, const QVariantList& args) const;

    std::shared_ptr<AutomationServer> server_;
    Target target_;
    bool displayAlerts_ = true;
};
