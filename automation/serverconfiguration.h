#pragma once

#include "automation/automationserver.h"

#include <memory>

// A new server for an object bound to "Excel.Application", as AutomationObject's static settings
// say: the factory's when one is set, else a SpreadsheetServer with the set call limit (or its
// default), office restart interval, kind of PDF, sandbox, workbook limits and region's paper.
std::shared_ptr<AutomationServer> NewConfiguredServer();
