#pragma once

#include "convert/spreadsheetapplications.h"

#include <functional>
#include <memory>

// Makes the program's spreadsheet applications with the options of its command line.
using NewApplications =
    std::function<std::unique_ptr<SpreadsheetApplications>(const ApplicationOptions&)>;

// What quillsheet-cli does with its arguments, converting with the applications newApplications
// makes; returns the program's exit code.
int RunCommandLine(int argc, char** argv, const NewApplications& newApplications);
