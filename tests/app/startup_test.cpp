#include "common/officeprocesses.h"
#include "common/pdf.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/unprivileged.h"
#include "common/workbooks.h"
#include "convert/runoptions.h"
#include "support/settingsfile.h"
#include "xdesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include <csignal>
#include <grp.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The environment of this process with some variables replaced; an empty value removes one.
std::vector<std::string> Environment(const std::map<std::string, std::string>& changes)
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable(*entry);
        if (changes.count(variable.substr(0, variable.find('='))) == 0)
            result.push_back(variable);
    }
    for (const auto& [name, value] : changes)
        if (!value.empty())
            result.push_back(name + "=" + value);
    return result;
}

const uid_t Nobody = 65534;

// The program started as a real process from a copy under a chosen file name, in the given
// environment, as "nobody" when asNobody and the tests run as root. The copy prints one line once
// its event loop runs: what start-up showed; and one line each time a later start asks it to
// show its window.
class Started
{
public:
    Started(const std::string& executable, const std::vector<std::string>& args,
            const std::vector<std::string>& environment, bool asNobody = false)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        std::vector<char*> argv{const_cast<char*>(executable.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const std::string& variable : environment)
            envp.push_back(const_cast<char*>(variable.c_str()));
        envp.push_back(nullptr);
        const bool dropPrivileges = asNobody && geteuid() == 0;
        pid = fork();
        if (pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            if (dropPrivileges &&
                (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0))
                _exit(126);
            execve(executable.c_str(), argv.data(), envp.data());
            _exit(127);
        }
        close(out[1]);
        output = out[0];
    }
    ~Started()
    {
        Kill();
        if (output >= 0)
            close(output);
    }

    // The next line the program printed, or "" when it ended (or timeoutMs passed) without one.
    std::string Line(int timeoutMs = 30000)
    {
        std::string line;
        pollfd readable{output, POLLIN, 0};
        while (poll(&readable, 1, timeoutMs) == 1) {
            char c;
            if (read(output, &c, 1) != 1 || c == '\n')
                break;
            line += c;
        }
        return line;
    }

    // The line that tells what start-up showed; the one after it names the settings file that
    // start-up chose, kept in settingsFile.
    std::string Startup()
    {
        const std::string shown = Line();
        if (!shown.empty())
            settingsFile = Line().substr(std::string("settings ").size());
        return shown;
    }
    std::string settingsFile;

    // The exit code once the program has ended by itself; -1 when a signal ended it.
    int ExitCode()
    {
        int status = 0;
        waitpid(pid, &status, 0);
        ended = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    bool Running() { return !ended && waitpid(pid, nullptr, WNOHANG) == 0; }
    pid_t Pid() const { return pid; }

    // Ends the program as a crash would, leaving behind whatever it made.
    void Kill()
    {
        if (pid > 0 && !ended) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            ended = true;
        }
    }

private:
    pid_t pid = -1;
    int output = -1;
    bool ended = false;
};

class StartupTest : public ::testing::Test
{
protected:
    TempFolder folder;
    // Copies get folders of their own, so that a copy the developer runs is never involved.
    std::vector<std::string> environment;

    void SetUp() override
    {
        ASSERT_TRUE(desktop->tray.ready) << "scripts/install-deps.sh installs xvfb";
        fs::create_directories(folder / "home");
        fs::create_directories(folder / "run");
        fs::permissions(folder / "run", fs::perms::owner_all);
        environment = Environment({{"HOME", folder / "home"},
                                   {"XDG_RUNTIME_DIR", folder / "run"},
                                   {"XDG_CONFIG_HOME", ""}});
    }

    std::string CopyAs(const std::string& name)
    {
        fs::create_directories(folder / name + ".d");
        const std::string path = folder / (name + ".d/" + name);
        fs::copy_file(STARTUP_PROBE, path);
        return path;
    }

    Started Start(const std::string& program, const std::vector<std::string>& args)
    {
        return Started(program, args, environment);
    }

    // Started as Start does, with these variables set besides.
    Started StartWith(const std::string& program, const std::vector<std::string>& extra,
                      const std::vector<std::string>& args = {})
    {
        std::vector<std::string> changed = environment;
        for (const std::string& variable : extra) {
            const std::string name = variable.substr(0, variable.find('=') + 1);
            changed.erase(std::remove_if(changed.begin(), changed.end(),
                                         [&name](const std::string& item) {
                                             return item.compare(0, name.size(), name) == 0;
                                         }),
                          changed.end());
            changed.push_back(variable);
        }
        return Started(program, args, changed);
    }

    // A copy of the program whose settings name ten workbooks, each taking the office a while,
    // and an empty output folder.
    std::string CopyWithSlowRun()
    {
        const std::string program = CopyAs("quillsheet-window");
        fs::create_directories(folder / "in");
        fs::create_directories(folder / "out");
        for (int i = 0; i < 10; ++i)
            WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"),
                      SpreadsheetMl({{"Data", MarkedRows("ROW", 400)}}));
        WriteFile(folder / "quillsheet-window.d/Quillsheet.qlx",
                  "SourcePath=" + (folder / "in") + "\r\nSavePath=" + (folder / "out") + "\r\n");
        return program;
    }

    int Pdfs()
    {
        int pdfs = 0;
        for (const auto& entry : fs::directory_iterator(folder / "out"))
            pdfs += entry.path().extension() == ".pdf";
        return pdfs;
    }

    // A fresh X server (Xvfb) of its own with one screen of that size ("1366x768x24"), ended
    // with it.
    struct XServer
    {
        explicit XServer(const std::string& screen)
        {
            int ready[2];
            if (pipe(ready) != 0)
                return;
            const std::string displayFd = std::to_string(ready[1]);
            const char* const args[] = {"Xvfb",      "-displayfd",   displayFd.c_str(),
                                        "-nolisten", "tcp",          "-screen",
                                        "0",         screen.c_str(), nullptr};
            if (posix_spawn(&pid, "/usr/bin/Xvfb", nullptr, nullptr, const_cast<char* const*>(args),
                            environ) != 0)
                pid = -1;
            close(ready[1]);
            char c;
            while (pid > 0 && read(ready[0], &c, 1) == 1 && c != '\n')
                display += c;
            close(ready[0]);
        }
        ~XServer() { Stop(); }
        void Stop()
        {
            if (pid > 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
            pid = -1;
        }
        pid_t pid = -1;
        std::string display; // its number; empty when it did not start
    };

    // Copies show on a display with a system tray, as on a desktop, so that "-autorun" can hide
    // the window there; every test process reaches it through DISPLAY.
    struct TrayDesktop
    {
        XServer x{"1280x1024x24"};
        xdesktop::TrayHost tray{x.display};
    };
    static inline std::unique_ptr<TrayDesktop> desktop;
    static void SetUpTestSuite()
    {
        desktop = std::make_unique<TrayDesktop>();
        setenv("DISPLAY", (":" + desktop->x.display).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    static void TearDownTestSuite() { desktop.reset(); }

    // Holds every office of the window as an office that does not answer would, until killed.
    static void HoldEveryOffice(pid_t window)
    {
        for (const fs::path& office : OfficeProcessesOf(window))
            kill(static_cast<pid_t>(std::stol(office.filename().string())), SIGSTOP);
    }

    // Waits until the run has written its first PDF: it is then in the middle of its list.
    bool WaitForMidRun()
    {
        for (int i = 0; i < 1200 && Pdfs() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return Pdfs() > 0;
    }
    // The sockets of the window's offices, once each office of its run has bound its pipe and
    // single-instance socket (or after 10 s).
    static std::set<std::string> SocketsOfEveryOffice(pid_t window)
    {
        const std::size_t expected = 2u * static_cast<std::size_t>(WindowJobs());
        std::set<std::string> sockets = OfficeSocketsOf(window);
        for (int i = 0; i < 200 && sockets.size() < expected; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            sockets = OfficeSocketsOf(window);
        }
        return sockets;
    }
};

// Without a display, and with no platform that draws without one, the window says so on one
// line and exits with 1 before Qt's platform plugin can abort it; a platform without a display,
// named in the environment or as an argument, still starts.
TEST_F(StartupTest, WithoutADisplayTheWindowSaysSoAndPointsAtTheCli)
{
    const std::string message = "Quillsheet 需要图形界面：DISPLAY 和 WAYLAND_DISPLAY 都没有设置。"
                                "没有图形界面时请用 quillsheet-cli。\n";
    const char* const refused[] = {"", "QT_QPA_PLATFORM=xcb", "QT_QPA_PLATFORM=wayland;xcb"};
    for (const char* platform : refused) {
        SCOPED_TRACE(platform);
        const std::string output =
            CommandOutput("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                          std::string(*platform ? Quoted(platform) + " " : "") +
                          Quoted(STARTUP_PROBE) + " 2>&1; echo \"exit $?\"");
        EXPECT_EQ(output, message + "exit 1\n");
    }
    environment = Environment({{"HOME", folder / "home"},
                               {"XDG_RUNTIME_DIR", folder / "run"},
                               {"XDG_CONFIG_HOME", ""},
                               {"DISPLAY", ""},
                               {"WAYLAND_DISPLAY", ""},
                               {"QT_QPA_PLATFORM", ""}});
    Started started = Start(CopyAs("quillsheet-window"), {"-platform", "offscreen"});
    EXPECT_EQ(started.Startup().rfind("window shown", 0), 0u);
}

TEST_F(StartupTest, OnlyTheExactFirstArgumentAutorunHidesTheWindow)
{
    const std::string program = CopyAs("Quillsheet");
    struct Case
    {
        std::vector<std::string> args;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {{}, "window shown, tray shown"},
        {{"-autorun"}, "window hidden, tray shown"},
        {{"-AUTORUN"}, "window shown, tray shown"},
        {{"-autorunx"}, "window shown, tray shown"},
        {{"-autorun", "-more"}, "window hidden, tray shown"},
        {{"-x", "-autorun"}, "window shown, tray shown"},
        {{"-autorun" + std::string(40, ' ')}, "window shown, tray shown"},
    };
    for (const Case& c : cases) {
        Started copy = Start(program, c.args);
        EXPECT_EQ(copy.Startup(), c.expected) << (c.args.empty() ? "" : c.args[0]);
    }
}

TEST_F(StartupTest, ASecondCopyEndsItselfAndTheFirstRunsOn)
{
    const std::string program = CopyAs("Quillsheet");
    Started first = Start(program, {"-autorun"});
    ASSERT_EQ(first.Startup(), "window hidden, tray shown");

    Started quiet = Start(program, {"-autorun"});
    EXPECT_EQ(quiet.Startup(), "");
    EXPECT_EQ(quiet.ExitCode(), 0);
    EXPECT_EQ(first.Line(1000), "") << "an -autorun start showed the window";

    Started second = Start(program, {});
    EXPECT_EQ(second.Startup(), "");
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_EQ(first.Line(), "window shown by a second start");
    EXPECT_EQ(first.Line(500), "");
    EXPECT_TRUE(first.Running());

    // Under another file name it is not seen as a second copy.
    Started renamed = Start(CopyAs("Quillsheet-copy"), {});
    EXPECT_EQ(renamed.Startup(), "window shown, tray shown");
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(renamed.Running());
}

TEST_F(StartupTest, TheSocketOfAKilledCopyBlocksNoStart)
{
    const std::string program = CopyAs("Quillsheet");
    Started killed = Start(program, {"-autorun"});
    ASSERT_EQ(killed.Startup(), "window hidden, tray shown");
    killed.Kill();
    ASSERT_TRUE(fs::exists(folder / ("run/Quillsheet-" + std::to_string(getuid()))));

    Started next = Start(program, {"-autorun"});
    EXPECT_EQ(next.Startup(), "window hidden, tray shown");
    Started second = Start(program, {});
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_EQ(next.Line(), "window shown by a second start");
}

TEST_F(StartupTest, CopiesOfAnotherUserNeverCount)
{
    if (geteuid() != 0)
        OPTIONAL_SKIP("cannot run as an unprivileged user here");
    fs::permissions(folder.path(),
                    fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    fs::create_directories(folder / "nobody");
    ASSERT_EQ(chown((folder / "nobody").c_str(), Nobody, Nobody), 0);
    fs::permissions(folder / "nobody", fs::perms::owner_all);
    const std::string program = CopyAs("Quillsheet");

    for (const bool nobodyFirst : {false, true}) {
        // Both users share a fresh temporary folder, as they share /tmp, and have no runtime
        // folder set.
        const std::string shared = folder / ("tmp" + std::to_string(nobodyFirst));
        fs::create_directories(shared);
        fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
        const std::vector<std::string> asRoot =
            Environment({{"HOME", folder / "home"}, {"TMPDIR", shared}, {"XDG_RUNTIME_DIR", ""}});
        const std::vector<std::string> asNobody =
            Environment({{"HOME", folder / "nobody"}, {"TMPDIR", shared}, {"XDG_RUNTIME_DIR", ""}});

        Started first(program, {"-autorun"}, nobodyFirst ? asNobody : asRoot, nobodyFirst);
        ASSERT_EQ(first.Startup(), "window hidden, tray shown") << nobodyFirst;
        Started other(program, {}, nobodyFirst ? asRoot : asNobody, !nobodyFirst);
        EXPECT_EQ(other.Startup(), "window shown, tray shown") << nobodyFirst;
        EXPECT_EQ(first.Line(500), "") << nobodyFirst;
    }
}

TEST_F(StartupTest, SettingsLiveWhereTheUserCanWriteThem)
{
    // Root writes anywhere, so the copies run as "nobody" then.
    const bool asRoot = geteuid() == 0;
    const uid_t user = asRoot ? Nobody : geteuid();
    fs::permissions(folder.path(),
                    fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    struct Case
    {
        const char* prefix;
        bool writableFolder;   // the executable's
        bool fileBeside;       // a settings file beside the executable
        bool installedDefault; // <prefix>/share/quillsheet/Quillsheet.qlx
        bool usesOwn;          // the user's own file rather than the one beside the executable
    };
    const Case cases[] = {
        {"installed", false, true, true, true},
        {"installed-without-default", false, false, false, true},
        {"portable", true, true, true, false},
        {"user-prefix", true, false, true, true},
    };
    const std::string defaults = "SourcePath=/installed/\r\n";
    for (const Case& c : cases) {
        const std::string prefix = folder / c.prefix;
        const std::string bin = prefix + "/bin";
        const std::string home = prefix + "/home";
        fs::create_directories(bin);
        fs::create_directories(home);
        const std::string program = bin + "/Quillsheet";
        fs::copy_file(STARTUP_PROBE, program);
        const std::string beside = bin + "/Quillsheet.qlx";
        if (c.fileBeside)
            WriteFile(beside, "SourcePath=/beside/\r\n");
        if (c.installedDefault) {
            fs::create_directories(prefix + "/share/quillsheet");
            WriteFile(prefix + "/share/quillsheet/Quillsheet.qlx", defaults);
            fs::permissions(prefix + "/share/quillsheet/Quillsheet.qlx",
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
        ASSERT_EQ(chown(home.c_str(), user, user), 0);
        fs::permissions(home, fs::perms::owner_all);
        if (c.writableFolder) {
            ASSERT_EQ(chown(bin.c_str(), user, user), 0);
            if (c.fileBeside) {
                ASSERT_EQ(chown(beside.c_str(), user, user), 0);
            }
        } else {
            fs::permissions(
                bin, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        }
        const std::vector<std::string> environment = Environment(
            {{"HOME", home}, {"XDG_RUNTIME_DIR", home}, {"TMPDIR", home}, {"XDG_CONFIG_HOME", ""}});
        const std::string own = home + "/.config/Quillsheet/Quillsheet.qlx";
        const std::string expected = c.usesOwn ? own : beside;
        const auto binFiles = [&bin] {
            return std::distance(fs::directory_iterator(bin), fs::directory_iterator());
        };
        const auto before = binFiles();

        for (int start = 1; start <= 2; ++start) {
            Started copy(program, {"-autorun"}, environment, true);
            EXPECT_EQ(copy.Startup(), "window hidden, tray shown") << c.prefix;
            EXPECT_EQ(copy.settingsFile, expected) << c.prefix;
            EXPECT_EQ(fs::exists(own), c.usesOwn && c.installedDefault) << c.prefix;
            if (!fs::exists(own))
                continue;
            if (start == 1) {
                EXPECT_EQ(ReadFile(own), defaults) << c.prefix;
                // A choice made in the window is stored there by this user.
                EXPECT_EQ(
                    RunWithoutPrivilege([&own] { return SetKeyValue(own, "MergeSheets", "y"); }), 0)
                    << c.prefix;
            } else {
                EXPECT_EQ(ReadFile(own), defaults + "MergeSheets=y\r\n") << c.prefix;
            }
        }
        EXPECT_EQ(binFiles(), before) << c.prefix;
        if (c.fileBeside) {
            EXPECT_EQ(ReadFile(beside), "SourcePath=/beside/\r\n") << c.prefix;
        }
        fs::permissions(bin, fs::perms::owner_all, fs::perm_options::add);
    }
}

// SIGTERM (as at a logout) quits the window as its quit entry does: the run stops after the
// workbook in work, or within 6 s with its offices ended when they do not answer, and leaves its
// report. A second start meanwhile shows the stopping window, or starts once it has gone.
TEST_F(StartupTest, ASignalQuitsTheWindowWithinSixSecondsEvenWhenTheOfficeDoesNotAnswer)
{
    const std::string program = CopyWithSlowRun();
    Started window = StartWith(program, {"QUILLSHEET_PROBE_CONVERT=1"});
    ASSERT_EQ(window.Startup(), "window shown, tray shown");
    ASSERT_TRUE(WaitForMidRun());
    const std::set<std::string> sockets = SocketsOfEveryOffice(window.Pid());
    HoldEveryOffice(window.Pid());
    const auto signalled = std::chrono::steady_clock::now();
    kill(window.Pid(), SIGTERM);
    Started second = Start(program, {});
    EXPECT_EQ(window.ExitCode(), 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count();
    std::cout << "SIGTERM to the end, offices not answering: " << seconds << " s\n";
    EXPECT_LT(seconds, 6.5);
    const std::string shownBySecond = window.Line(0);
    if (shownBySecond.empty())
        EXPECT_EQ(second.Startup(), "window shown, tray shown");
    else
        EXPECT_EQ(shownBySecond, "window shown by a second start");
    second.Kill();
    EXPECT_LT(Pdfs(), 10);
    const std::string report = ReadFile(folder / "home/.local/share/Quillsheet/转换报告.txt");
    EXPECT_NE(report.find("未转换（运行已中止）"), std::string::npos) << report;
    EXPECT_EQ(OfficesOfThisProcess(window.Pid()), 0);
    EXPECT_TRUE(OfficeFilesOf(window.Pid()).empty());
    EXPECT_EQ(sockets.size(), 2u * WindowJobs()) << "each office's pipe and single-instance socket";
    EXPECT_TRUE(Existing(sockets).empty());
}

// At twice the scale on a 1366 × 768 screen the window lies wholly in the screen's available
// area: its title bar and its buttons can be reached.
TEST_F(StartupTest, AtTwiceTheScaleTheWindowStaysInTheScreen)
{
    XServer x("1366x768x24");
    ASSERT_FALSE(x.display.empty());
    Started window = StartWith(CopyAs("quillsheet-window"),
                               {"DISPLAY=:" + x.display, "QT_QPA_PLATFORM=xcb", "QT_SCALE_FACTOR=2",
                                "QUILLSHEET_PROBE_GEOMETRY=1"});
    ASSERT_EQ(window.Startup(), "window shown, tray shown");
    std::istringstream placed(window.Line());
    std::string frameWord, areaWord;
    int frame[4] = {}, area[4] = {};
    placed >> frameWord >> frame[0] >> frame[1] >> frame[2] >> frame[3] >> areaWord >> area[0] >>
        area[1] >> area[2] >> area[3];
    ASSERT_EQ(frameWord + areaWord, "framearea");
    EXPECT_EQ(area[2], 683);
    EXPECT_GE(frame[0], area[0]);
    EXPECT_GE(frame[1], area[1]);
    EXPECT_LE(frame[0] + frame[2], area[0] + area[2]);
    EXPECT_LE(frame[1] + frame[3], area[1] + area[3]);
}

// With no system tray to come back from, "-autorun" shows the window: the program is never
// invisible. No tray: a display without a tray host, or a platform without any.
TEST_F(StartupTest, WithoutASystemTrayAutorunShowsTheWindow)
{
    XServer x("1280x1024x24");
    ASSERT_FALSE(x.display.empty());
    const std::vector<std::vector<std::string>> trayless = {
        {"DISPLAY=:" + x.display, "QT_QPA_PLATFORM=xcb"}, {"QT_QPA_PLATFORM=offscreen"}};
    const std::string program = CopyAs("Quillsheet");
    for (const std::vector<std::string>& variables : trayless) {
        Started copy = StartWith(program, variables, {"-autorun"});
        EXPECT_EQ(copy.Startup(), "window shown, tray shown") << variables.back();
    }
}

// Under the window managers of real desktops, at twice the scale on 1366 × 768 and at the plain
// scale on 1024 × 600, in Chinese and in English, the window's whole frame, title bar included,
// lies in the screen's available area and none of its controls is cut off.
TEST_F(StartupTest, UnderARealWindowManagerTheWholeWindowFitsSmallScreens)
{
    const std::string program = CopyAs("quillsheet-window");
    fs::copy_file(QUILLSHEET_QM, folder / "quillsheet-window.d/quillsheet_en.qm");
    const struct
    {
        const char* screen;
        const char* scale;
    } screens[] = {{"1366x768x24", "2"}, {"1024x600x24", "1"}};
    for (const char* manager : {"openbox", "xfwm4"})
        for (const auto& screen : screens)
            for (const char* language : {"zh_CN", "en_US"}) {
                SCOPED_TRACE(std::string(manager) + " " + screen.screen + " at " + screen.scale +
                             " in " + language);
                XServer x(screen.screen);
                ASSERT_FALSE(x.display.empty());
                xdesktop::WindowManager wm(manager, x.display);
                ASSERT_TRUE(wm.ready) << "scripts/install-deps.sh installs openbox and xfwm4";
                Started window = StartWith(program, {"DISPLAY=:" + x.display, "QT_QPA_PLATFORM=xcb",
                                                     std::string("QT_SCALE_FACTOR=") + screen.scale,
                                                     std::string("LANGUAGE=") + language,
                                                     std::string("LC_ALL=") + language + ".UTF-8",
                                                     "QUILLSHEET_PROBE_GEOMETRY=1"});
                ASSERT_EQ(window.Startup(), "window shown, tray shown");
                std::istringstream placed(window.Line());
                std::string frameWord, areaWord;
                int frame[4] = {}, area[4] = {};
                placed >> frameWord >> frame[0] >> frame[1] >> frame[2] >> frame[3] >> areaWord >>
                    area[0] >> area[1] >> area[2] >> area[3];
                ASSERT_EQ(frameWord + areaWord, "framearea");
                EXPECT_GT(area[2], 0);
                EXPECT_GE(frame[2], 300) << "the whole window's frame";
                EXPECT_GE(frame[3], 200) << "the whole window's frame";
                EXPECT_GE(frame[0], area[0]);
                EXPECT_GE(frame[1], area[1]);
                EXPECT_LE(frame[0] + frame[2], area[0] + area[2]);
                EXPECT_LE(frame[1] + frame[3], area[1] + area[3]);
                EXPECT_EQ(window.Line(), "cut: none");
            }
}

// Qt ends the program with exit(1) when its X display goes away: idle, or in the middle of a run,
// whose office and files go with it; nothing crashes.
TEST_F(StartupTest, LosingTheDisplayEndsTheProgramAndAnyOfficeCleanly)
{
    ASSERT_TRUE(fs::exists("/usr/bin/Xvfb")) << "scripts/install-deps.sh installs xvfb";
    const std::string program = CopyWithSlowRun();
    for (const bool duringRun : {false, true}) {
        SCOPED_TRACE(duringRun ? "during a run" : "idle");
        XServer x("1280x1024x24");
        ASSERT_FALSE(x.display.empty());

        std::vector<std::string> variables = {"DISPLAY=:" + x.display, "QT_QPA_PLATFORM=xcb"};
        if (duringRun)
            variables.push_back("QUILLSHEET_PROBE_CONVERT=1");
        Started window = StartWith(program, variables);
        const std::string shown = window.Startup();
        const bool midRun = !duringRun || WaitForMidRun();
        const std::set<std::string> sockets =
            duringRun ? SocketsOfEveryOffice(window.Pid()) : OfficeSocketsOf(window.Pid());
        x.Stop();
        ASSERT_EQ(shown, "window shown, tray shown");
        ASSERT_TRUE(midRun);
        EXPECT_EQ(window.ExitCode(), 1);
        EXPECT_LT(Pdfs(), 10);
        EXPECT_EQ(OfficesOfThisProcess(window.Pid()), 0);
        EXPECT_TRUE(OfficeFilesOf(window.Pid()).empty());
        EXPECT_EQ(sockets.size(), duringRun ? 2u * WindowJobs() : 0u)
            << "each office's pipe and single-instance socket";
        EXPECT_TRUE(Existing(sockets).empty());
    }
}

} // namespace
