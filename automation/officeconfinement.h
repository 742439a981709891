#pragma once

#include <chrono>
#include <string>
#include <vector>

// What an office may reach and use while it converts workbooks that may come from strangers.
struct OfficeConfinement
{
    // Whether the office runs in a sandbox: no network, and of the file system only the system's
    // read-only parts, its own profile and these folders. A run asks for one; by default the
    // office runs as the user does.
    bool sandbox = false;
    std::vector<std::string> readableFolders;
    std::vector<std::string> writableFolders;
    // The office's resident memory, in bytes, above which it is ended while a workbook is in
    // work; 0: no ceiling.
    long long memoryCeiling = 0;
    // How long one workbook's conversion may take from its opening to its closing; 0: no limit.
    std::chrono::milliseconds workbookLimit{0};
};
