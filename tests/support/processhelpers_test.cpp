#include "support/processhelpers.h"

#include "common/childprocess.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
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
    // Short enough (15 bytes) to be the whole name the kernel keeps, which is all a zombie has.
    const std::string base = "qsprobe-" + std::to_string(getpid());
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

#ifndef _WIN32
// Polls for up to 10 s until done() holds; returns done().
bool WaitFor(const std::function<bool()>& done)
{
    for (int poll = 0; poll < 1000 && !done(); ++poll)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// The state letter of /proc/PID/stat (R, S, Z…); 0 when the process is gone.
char ProcessState(unsigned long pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() ? line[close + 2] : 0;
}

// A copy that has ended but was not reaped, and a copy that another user runs, are neither
// counted nor ended; a live copy of the caller started after them is the one ended.
TEST_F(ProcessHelpersTest, LeavesOutZombiesAndOtherUsersCopies)
{
    struct Case
    {
        const char* what;
        std::function<ChildProcess&()> start;
        std::function<bool(ChildProcess&)> ready;
    };
    std::vector<Case> cases = {
        {"a zombie", [&]() -> ChildProcess& { return started.emplace_back(Copy(name), "0"); },
         [](ChildProcess& copy) { return ProcessState(copy.id()) == 'Z'; }},
    };
    const bool root = geteuid() == 0;
    if (root) {
        cases.push_back({"another user's copy",
                         [&]() -> ChildProcess& {
                             const std::string path = Copy(name);
                             const auto open = fs::perms::owner_all | fs::perms::group_read |
                                               fs::perms::group_exec | fs::perms::others_read |
                                               fs::perms::others_exec;
                             fs::permissions(folder.path(), open);
                             fs::permissions(fs::path(path).parent_path(), open);
                             fs::permissions(path, open);
                             return started.emplace_back(ChildProcess::AsNobody(), path, "60");
                         },
                         [&](ChildProcess& copy) {
                             std::error_code error;
                             return fs::read_symlink("/proc/" + std::to_string(copy.id()) + "/exe",
                                                     error)
                                        .filename() == name;
                         }});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChildProcess& excluded = c.start();
        ASSERT_NE(excluded.id(), 0u);
        ASSERT_TRUE(WaitFor([&] { return c.ready(excluded); }));
        EXPECT_EQ(CountProcessesByName(name.c_str()), 0);
        EXPECT_EQ(KillProcessByName(name.c_str()), 0);

        ChildProcess& live = Start(Copy(name));
        EXPECT_EQ(CountProcessesByName(name.c_str()), 1);
        EXPECT_EQ(KillProcessByName(name.c_str()), 1);
        EXPECT_EQ(live.Ending(true), SIGTERM);
        EXPECT_TRUE(c.ready(excluded)) << "still there as it was";
        EXPECT_EQ(KillProcessByName(name.c_str()), 0);
    }
    if (!root)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
}
#endif

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
