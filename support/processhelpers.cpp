#include "support/processhelpers.h"

#include <cstring>
#include <functional>

#ifdef _WIN32
#include <windows.h>

#include <tlhelp32.h> // needs windows.h first
#else
#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>
#endif

namespace {

// Calls visit(processId, exeFileName) for every process in list order until it returns true.
// False when the process list cannot be read.
using ProcessVisitor = std::function<bool(unsigned long, const char*)>;

#ifdef _WIN32

// The wide entry, turned into the ANSI code page, names a process as the 8-bit entry does, and
// works whether or not the build defines UNICODE.
bool WalkProcesses(const ProcessVisitor& visit)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    if (Process32FirstW(snapshot, &entry)) {
        do {
            char name[4 * MAX_PATH];
            if (WideCharToMultiByte(CP_ACP, 0, entry.szExeFile, -1, name, sizeof(name), nullptr,
                                    nullptr) > 0 &&
                visit(entry.th32ProcessID, name))
                break;
        } while (Process32NextW(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return true;
}

void EndProcess(unsigned long processId)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (process) {
        TerminateProcess(process, 0);
        CloseHandle(process);
    }
}

#else

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The executable's file name from the /proc/PID/exe link; where that cannot be read (another
// user's process, a kernel thread) the name the kernel keeps in /proc/PID/stat.
std::string ExeFileName(const std::string& pidText)
{
    const std::string dir = "/proc/" + pidText;
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t length = readlink((dir + "/exe").c_str(), target.data(), target.size());
    if (length > 0 && static_cast<std::size_t>(length) < target.size()) {
        std::string name = BaseName(std::string(target.data(), static_cast<std::size_t>(length)));
        const std::string deleted = " (deleted)";
        if (name.size() > deleted.size() &&
            name.compare(name.size() - deleted.size(), deleted.size(), deleted) == 0)
            name.erase(name.size() - deleted.size());
        return name;
    }
    std::ifstream stat(dir + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return std::string();
    return line.substr(open + 1, close - open - 1);
}

// Whether the process still runs (not a zombie, state Z or X in /proc/PID/stat) and its real user
// is the caller's ("Uid:" in /proc/PID/status). Another user's copy is none of the caller's
// business, and a zombie has already ended.
bool IsLiveProcessOfCaller(const std::string& pidText)
{
    const std::string dir = "/proc/" + pidText;
    std::ifstream stat(dir + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size() || line[close + 2] == 'Z' ||
        line[close + 2] == 'X')
        return false;
    std::ifstream status(dir + "/status");
    while (std::getline(status, line)) {
        if (line.compare(0, 4, "Uid:") == 0) {
            const char* realUid = line.c_str() + 4;
            char* end = nullptr;
            const unsigned long uid = std::strtoul(realUid, &end, 10);
            return end != realUid && uid == static_cast<unsigned long>(getuid());
        }
    }
    return false;
}

bool WalkProcesses(const ProcessVisitor& visit)
{
    DIR* proc = opendir("/proc");
    if (!proc)
        return false;
    std::vector<unsigned long> pids;
    while (const dirent* entry = readdir(proc)) {
        const char* name = entry->d_name;
        if (*name && std::strspn(name, "0123456789") == std::strlen(name))
            pids.push_back(std::stoul(name));
    }
    closedir(proc);
    std::sort(pids.begin(), pids.end());
    for (unsigned long pid : pids) {
        const std::string pidText = std::to_string(pid);
        const std::string name = ExeFileName(pidText);
        if (!name.empty() && IsLiveProcessOfCaller(pidText) && visit(pid, name.c_str()))
            break;
    }
    return true;
}

void EndProcess(unsigned long processId)
{
    kill(static_cast<pid_t>(processId), SIGTERM);
}

#endif

} // namespace

int CountProcessesByName(const char* exeName)
{
    if (!exeName)
        return 0;
    int count = 0;
    WalkProcesses([&](unsigned long, const char* name) {
        if (std::strcmp(name, exeName) == 0)
            ++count;
        return false;
    });
    return count;
}

int KillProcessByName(const char* exeName)
{
    if (!exeName)
        return 0;
    int found = 0;
    WalkProcesses([&](unsigned long processId, const char* name) {
        if (std::strcmp(name, exeName) != 0)
            return false;
        EndProcess(processId);
        found = 1;
        return true;
    });
    return found;
}
