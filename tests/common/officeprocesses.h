#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

// How many offices started by process pid (by default this one) still run: their command lines
// name a pipe "quillsheet<pid>_…".
inline int OfficesOfThisProcess(pid_t pid = getpid())
{
    const std::string mark = "name=quillsheet" + std::to_string(pid) + "_";
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
