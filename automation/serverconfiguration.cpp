#include "automation/serverconfiguration.h"

#include "automation/automationobject.h"
#include "automation/spreadsheetserver.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<long long> callTimeLimitMs{0};
std::atomic<int> officeRestartInterval{0};
std::atomic<bool> archivalPdf{false};
std::mutex factoryMutex;
AutomationObject::ServerFactory serverFactory;

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

void AutomationObject::setServerFactory(ServerFactory factory)
{
    std::lock_guard<std::mutex> lock(factoryMutex);
    serverFactory = std::move(factory);
}

std::shared_ptr<AutomationServer> NewConfiguredServer()
{
    const long long setLimit = callTimeLimitMs;
    const std::chrono::milliseconds limit =
        setLimit > 0 ? std::chrono::milliseconds(setLimit) : SpreadsheetServer::DefaultCallLimit();
    std::lock_guard<std::mutex> lock(factoryMutex);
    if (serverFactory)
        return serverFactory(limit);
    return std::make_shared<SpreadsheetServer>(limit, officeRestartInterval,
                                               archivalPdf
                                                   ? SpreadsheetServer::PdfKind::ArchivalPdfA2b
                                                   : SpreadsheetServer::PdfKind::Plain);
}
