#include "support/processhelpers.h"

#include "common/childprocess.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <list>
#include <thread>

#ifdef _WIN32
#include <process.h>
#else
#include <csignal>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const std::string ExeSuffix = ".exe";
constexpr int EndedByRequest = 0; // TerminateProcess(…, 0)
#else
const std::string ExeSuffix;
constexpr int EndedByRequest = SIGTERM;
#endif

// Copies of a harmless program under names of the test's own, so that nothing else on the
// machine carries them.
class ProcessHelpersTest : public ::testing::Test
{
protected:
    TempFolder folder;
    const std::string base = "quillsheet-probe-" + std::to_string(getpid());
    const std::string name = base + ExeSuffix;

    // Each copy has a folder of its own, since Windows file names ignore case.
    std::string Copy(const std::string& as)
    {
        const fs::path dir = folder.path() / std::to_string(copies++);
        fs::create_directory(dir);
        const std::string path = (dir / as).string();
        fs::copy_file(SleeperProgram(), path);
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    ChildProcess& Start(const std::string& path)
    {
        ChildProcess& child = started.emplace_back(path, "60");
        EXPECT_NE(child.id(), 0u) << path;
        return child;
    }

    // Whichever of a and b ends first, or null when neither ends within 10 s.
    static ChildProcess* FirstToEnd(ChildProcess& a, ChildProcess& b)
    {
        for (int poll = 0; poll < 1000; ++poll) {
            if (a.Ending(false))
                return &a;
            if (b.Ending(false))
                return &b;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return nullptr;
    }

    std::list<ChildProcess> started;
    int copies = 0;
};

TEST_F(ProcessHelpersTest, CountsOnlyTheExactName)
{
    EXPECT_EQ(CountProcessesByName(name.c_str()), 0);
    const std::string path = Copy(name);
    Start(path);
    EXPECT_EQ(CountProcessesByName(name.c_str()), 1);
    Start(path);
    Start(Copy(base + "x" + ExeSuffix));
    Start(Copy("Q" + name.substr(1)));
    EXPECT_EQ(CountProcessesByName(name.c_str()), 2);
    EXPECT_EQ(CountProcessesByName((base + "x" + ExeSuffix).c_str()), 1);
    EXPECT_EQ(CountProcessesByName(name.substr(0, name.size() - 1).c_str()), 0);
    EXPECT_EQ(CountProcessesByName(path.c_str()), 0); // a name, never a path
}

#ifndef _WIN32
TEST_F(ProcessHelpersTest, AnExecutableDeletedWhileRunningKeepsItsName)
{
    const std::string path = Copy(name);
    Start(path);
    fs::remove(path);
    EXPECT_EQ(CountProcessesByName(name.c_str()), 1);
}
#endif

TEST_F(ProcessHelpersTest, EndsExactlyTheFirstOfTwoInProcessListOrder)
{
    const std::string path = Copy(name);
    ChildProcess& a = Start(path);
    ChildProcess& b = Start(path);
    ChildProcess& other = Start(Copy(base + ".bak" + ExeSuffix));

    EXPECT_EQ(KillProcessByName(name.c_str()), 1);
    ChildProcess* first = FirstToEnd(a, b);
    ASSERT_NE(first, nullptr);
    ChildProcess& second = first == &a ? b : a;
#ifndef _WIN32
    EXPECT_LT(first->id(), second.id()); // /proc lists by ascending pid
#endif
    EXPECT_EQ(first->Ending(true), EndedByRequest);
    EXPECT_EQ(second.Ending(false), std::nullopt);
    EXPECT_EQ(other.Ending(false), std::nullopt);
    EXPECT_EQ(CountProcessesByName(name.c_str()), 1);

    EXPECT_EQ(KillProcessByName(name.c_str()), 1);
    EXPECT_EQ(second.Ending(true), EndedByRequest);
    EXPECT_EQ(KillProcessByName(name.c_str()), 0);
    EXPECT_EQ(other.Ending(false), std::nullopt);
}

TEST(ProcessHelpers, ANullNameFindsNothing)
{
    EXPECT_EQ(CountProcessesByName(nullptr), 0);
    EXPECT_EQ(KillProcessByName(nullptr), 0);
    EXPECT_EQ(KillProcessByName("no-such-program-of-quillsheet"), 0);
}

TEST(ProcessHelpers, CountsTheCallingProcess)
{
#ifdef _WIN32
    char path[MAX_PATH];
    const std::string self =
        fs::path(std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH)))
            .filename()
            .string();
#else
    const std::string self = fs::read_symlink("/proc/self/exe").filename().string();
#endif
    EXPECT_GE(CountProcessesByName(self.c_str()), 1);
}

} // namespace
