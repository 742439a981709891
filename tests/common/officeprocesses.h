#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

// How many offices started by this test process still run: their command lines name a pipe
// "quillsheet<our pid>_…".
inline int OfficesOfThisProcess()
{
    const std::string mark = "name=quillsheet" + std::to_string(getpid()) + "_";
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::ifstream cmdline(entry.path() / "cmdline");
        std::string text((std::istreambuf_iterator<char>(cmdline)),
                         std::istreambuf_iterator<char>());
        if (text.find(mark) != std::string::npos)
            ++count;
    }
    return count;
}
