#include "support/usablecpus.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

// The CPUs a cgroup quota gives, read from a prepared cgroup tree: the tightest quota of the
// process's cgroup and those above it, rounded down, at least 1; none where no quota is set.
TEST(UsableCpus, TheCgroupQuotaIsReadFromEitherVersion)
{
    struct Case
    {
        const char* what;
        const char* cgroupList;
        std::map<std::string, std::string> files; // below the cgroup root
        int cpus;
    };
    const Case cases[] = {
        {"v2, no quota", "0::/pod/box\n", {{"pod/box/cpu.max", "max 100000\n"}}, 0},
        {"v2, two and a half CPUs", "0::/pod/box\n", {{"pod/box/cpu.max", "250000 100000\n"}}, 2},
        {"v2, a tighter parent",
         "0::/pod/box\n",
         {{"pod/cpu.max", "150000 100000\n"}, {"pod/box/cpu.max", "400000 100000\n"}},
         1},
        {"v2, half a CPU", "0::/box\n", {{"box/cpu.max", "50000 100000\n"}}, 1},
        {"v1",
         "4:memory:/box\n3:cpu,cpuacct:/box\n",
         {{"cpu,cpuacct/box/cpu.cfs_quota_us", "300000\n"},
          {"cpu,cpuacct/box/cpu.cfs_period_us", "100000\n"}},
         3},
        {"v1, no quota",
         "3:cpu,cpuacct:/\n",
         {{"cpu,cpuacct/cpu.cfs_quota_us", "-1\n"}, {"cpu,cpuacct/cpu.cfs_period_us", "100000\n"}},
         0},
        {"no cgroup file systems", "0::/\n", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder root;
        for (const auto& [file, text] : c.files) {
            std::filesystem::create_directories((root.path() / file).parent_path());
            WriteFile(root / file, text);
        }
        EXPECT_EQ(CgroupCpuQuota(c.cgroupList, root.path().string()), c.cpus);
    }
    EXPECT_GE(UsableCpus(), 1);
}

} // namespace
