#pragma once

#include <string>

// How many CPUs this process may use: those its CPU affinity allows, and no more than its cgroup's
// CPU quota gives (rounded down), at least 1. Where neither can be read, the processor cores.
int UsableCpus();

// The CPUs that the cgroup CPU quota of a process gives, rounded down and at least 1, or 0 when
// it has none: read from its cgroup list (the text of /proc/<pid>/cgroup) and the cgroup file
// systems below root (v2 "cpu.max", v1 "cpu.cfs_quota_us" / "cpu.cfs_period_us"), taking the
// tightest quota of its cgroup and those above it.
int CgroupCpuQuota(const std::string& cgroupList, const std::string& root);
