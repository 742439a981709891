#include "automation/serverconfiguration.h"

#include "automation/automationobject.h"
#include "automation/spreadsheetserver.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <mutex>

#include <unistd.h>

namespace {

constexpr long long Gigabyte = 1LL << 30;
constexpr long long MaxDefaultMemoryCeiling = 4 * Gigabyte;
constexpr int CallLimitsPerWorkbook = 10;

std::atomic<long long> callTimeLimitMs{0};
std::atomic<int> officeRestartInterval{0};
std::atomic<bool> archivalPdf{false};
std::atomic<Paper> regionPaper{Paper::A4};
std::mutex settingsMutex; // for the settings below
AutomationObject::ServerFactory serverFactory;
OfficeConfinement confinement;
double memoryGigabytes = 0;
int offices = 1;

std::vector<std::string> LocalPaths(const QStringList& folders)
{
    std::vector<std::string> paths;
    for (const QString& folder : folders)
        if (!folder.isEmpty())
            paths.push_back(QFile::encodeName(folder).toStdString());
    return paths;
}

} // namespace

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

void AutomationObject::setRegionPaper(Paper paper)
{
    regionPaper = paper;
}

void AutomationObject::setSandbox(bool sandbox, const QStringList& readable,
                                  const QStringList& writable)
{
    std::lock_guard<std::mutex> lock(settingsMutex);
    confinement.sandbox = sandbox;
    confinement.readableFolders = LocalPaths(readable);
    confinement.writableFolders = LocalPaths(writable);
}

void AutomationObject::setWorkbookLimits(double memoryGB, std::chrono::milliseconds time,
                                         int officesAtOnce)
{
    std::lock_guard<std::mutex> lock(settingsMutex);
    memoryGigabytes = memoryGB;
    confinement.workbookLimit = time;
    offices = std::max(1, officesAtOnce);
}

long long AutomationObject::defaultMemoryCeiling(int officesAtOnce)
{
    const long long memory =
        static_cast<long long>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    const long long share =
        std::min(memory / (std::max(1, officesAtOnce) + 1), MaxDefaultMemoryCeiling);
    return share / (Gigabyte / 10) * (Gigabyte / 10);
}

void AutomationObject::setServerFactory(ServerFactory factory)
{
    std::lock_guard<std::mutex> lock(settingsMutex);
    serverFactory = std::move(factory);
}

std::shared_ptr<AutomationServer> NewConfiguredServer()
{
    const long long setLimit = callTimeLimitMs;
    const std::chrono::milliseconds limit =
        setLimit > 0 ? std::chrono::milliseconds(setLimit) : SpreadsheetServer::DefaultCallLimit();
    std::lock_guard<std::mutex> lock(settingsMutex);
    if (serverFactory)
        return serverFactory(limit);
    OfficeConfinement limits = confinement;
    limits.memoryCeiling = memoryGigabytes > 0 ? static_cast<long long>(memoryGigabytes * Gigabyte)
                                               : AutomationObject::defaultMemoryCeiling(offices);
    if (limits.workbookLimit.count() <= 0)
        limits.workbookLimit = CallLimitsPerWorkbook * limit;
    return std::make_shared<SpreadsheetServer>(limit, officeRestartInterval,
                                               archivalPdf
                                                   ? SpreadsheetServer::PdfKind::ArchivalPdfA2b
                                                   : SpreadsheetServer::PdfKind::Plain,
                                               limits, regionPaper);
}
