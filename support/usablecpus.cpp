#include "support/usablecpus.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include <sched.h>
#endif

namespace {

// The quota in a cgroup folder, in CPUs (possibly fractional); 0 for none.
double QuotaIn(const std::string& folder, bool unified)
{
    double quota = 0, period = 0;
    if (unified) {
        // "max 100000" or "200000 100000".
        std::ifstream file(folder + "/cpu.max");
        std::string limit;
        if (file >> limit >> period && limit != "max") {
            std::istringstream number(limit);
            number >> quota;
        }
    } else {
        std::ifstream quotaFile(folder + "/cpu.cfs_quota_us"),
            periodFile(folder + "/cpu.cfs_period_us");
        if (!(quotaFile >> quota && periodFile >> period))
            quota = 0;
    }
    return quota > 0 && period > 0 ? quota / period : 0;
}

// The tightest quota of folder's cgroup path and its parents below mount.
double TightestQuota(const std::string& mount, std::string path, bool unified)
{
    double tightest = 0;
    for (;;) {
        const double quota = QuotaIn(mount + path, unified);
        if (quota > 0 && (tightest == 0 || quota < tightest))
            tightest = quota;
        if (path.empty() || path == "/")
            return tightest;
        path.erase(path.find_last_of('/'));
    }
}

} // namespace

int CgroupCpuQuota(const std::string& cgroupList, const std::string& root)
{
    // Each line: "hierarchy:controllers:path"; v2 has "0::path".
    std::istringstream lines(cgroupList);
    std::string line;
    double tightest = 0;
    while (std::getline(lines, line)) {
        const std::size_t first = line.find(':'), second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        double quota = 0;
        if (line.compare(0, first, "0") == 0 && controllers.empty())
            quota = TightestQuota(root, path, true);
        else if (("," + controllers + ",").find(",cpu,") != std::string::npos)
            for (const char* mount : {"/cpu", "/cpu,cpuacct", "/cpuacct,cpu"})
                quota = std::max(quota, TightestQuota(root + mount, path, false));
        if (quota > 0 && (tightest == 0 || quota < tightest))
            tightest = quota;
    }
    return tightest > 0 ? std::max(1, static_cast<int>(tightest)) : 0;
}

int UsableCpus()
{
    int cpus = static_cast<int>(std::thread::hardware_concurrency());
#ifndef _WIN32
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0)
        cpus = CPU_COUNT(&allowed);
    std::ifstream file("/proc/self/cgroup");
    std::stringstream list;
    list << file.rdbuf();
    const int quota = CgroupCpuQuota(list.str(), "/sys/fs/cgroup");
    if (quota > 0)
        cpus = std::min(cpus, quota);
#endif
    return std::max(1, cpus);
}
