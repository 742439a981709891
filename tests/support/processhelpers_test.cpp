#include "support/processhelpers.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Copies of a harmless program under names of the test's own, so that nothing else on the
// machine carries them.
class ProcessHelpersTest : public ::testing::Test
{
protected:
    TempFolder folder;
    const std::string name = "quillsheet-probe-" + std::to_string(getpid());

    ~ProcessHelpersTest() override
    {
        for (pid_t pid : started) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    std::string Copy(const std::string& as)
    {
        const std::string path = folder / as;
        fs::copy_file("/bin/sleep", path);
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    pid_t Start(const std::string& path)
    {
        char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("60"), nullptr};
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
        started.push_back(pid);
        return pid;
    }

    // The signal that ended pid, once it has ended; 0 while it runs.
    static int EndingSignal(pid_t pid, bool wait)
    {
        int status = 0;
        if (waitpid(pid, &status, wait ? 0 : WNOHANG) != pid)
            return 0;
        return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
    }

    std::vector<pid_t> started;
};

TEST_F(ProcessHelpersTest, CountsOnlyTheExactName)
{
    EXPECT_EQ(CountProcessesByName(name.c_str()), 0);
    const std::string path = Copy(name);
    Start(path);
    EXPECT_EQ(CountProcessesByName(name.c_str()), 1);
    Start(path);
    Start(Copy(name + "x"));
    Start(Copy("Q" + name.substr(1)));
    EXPECT_EQ(CountProcessesByName(name.c_str()), 2);
    EXPECT_EQ(CountProcessesByName((name + "x").c_str()), 1);
    EXPECT_EQ(CountProcessesByName(name.substr(0, name.size() - 1).c_str()), 0);
    EXPECT_EQ(CountProcessesByName(path.c_str()), 0); // a name, never a path
}

TEST_F(ProcessHelpersTest, AnExecutableDeletedWhileRunningKeepsItsName)
{
    const std::string path = Copy(name);
    Start(path);
    fs::remove(path);
    EXPECT_EQ(CountProcessesByName(name.c_str()), 1);
}

TEST_F(ProcessHelpersTest, EndsExactlyTheFirstOfTwoInProcessListOrder)
{
    const std::string path = Copy(name);
    const pid_t a = Start(path);
    const pid_t b = Start(path);
    const pid_t other = Start(Copy(name + ".bak"));
    const pid_t first = std::min(a, b);
    const pid_t second = std::max(a, b);

    EXPECT_EQ(KillProcessByName(name.c_str()), 1);
    EXPECT_EQ(EndingSignal(first, true), SIGTERM);
    EXPECT_EQ(EndingSignal(second, false), 0);
    EXPECT_EQ(EndingSignal(other, false), 0);
    EXPECT_EQ(CountProcessesByName(name.c_str()), 1);

    EXPECT_EQ(KillProcessByName(name.c_str()), 1);
    EXPECT_EQ(EndingSignal(second, true), SIGTERM);
    EXPECT_EQ(KillProcessByName(name.c_str()), 0);
    EXPECT_EQ(EndingSignal(other, false), 0);
}

TEST(ProcessHelpers, ANullNameFindsNothing)
{
    EXPECT_EQ(CountProcessesByName(nullptr), 0);
    EXPECT_EQ(KillProcessByName(nullptr), 0);
    EXPECT_EQ(KillProcessByName("no-such-program-of-quillsheet"), 0);
}

TEST(ProcessHelpers, CountsTheCallingProcess)
{
    const std::string self = fs::read_symlink("/proc/self/exe").filename().string();
    EXPECT_GE(CountProcessesByName(self.c_str()), 1);
}

} // namespace
