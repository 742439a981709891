#include "automation/spreadsheetserver.h"

#include "automation/officenames.h"
#include "automation/officeprocess.h"
#include "automation/officesandbox.h"
#include "automation/profilecache.h"

#include "common/fullfilesystem.h"
#include "common/officeprocesses.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

// A limit the start-up handshake cannot meet: the office being started is killed when it
// expires, its files go with it, and a later start within a sound limit works.
TEST(OfficeStart, TheHandshakeHasTheCallLimit)
{
    SpreadsheetServer hasty(std::chrono::milliseconds(1));
    const CallResult bound = hasty.Bind();
    EXPECT_FALSE(bound.done);
    EXPECT_TRUE(bound.failure.message.contains(QStringLiteral("at start")))
        << bound.failure.message.toStdString();
    EXPECT_EQ(bound.failure.kind, FailureKind::NoAnswer);
    EXPECT_EQ(bound.failure.limit, 0.001);
    EXPECT_EQ(hasty.ProcessId(), -1);
    EXPECT_EQ(OfficesOfThisProcess(), 0);
    // The server may keep a set-up profile for its next office until it quits.
    hasty.Quit();
    EXPECT_TRUE(OfficeFilesOf(getpid()).empty());

    SpreadsheetServer patient(std::chrono::seconds(60));
    EXPECT_TRUE(patient.Bind().done);
    EXPECT_EQ(OfficesOfThisProcess(), 1);
    patient.Quit();
    EXPECT_EQ(OfficesOfThisProcess(), 0);
    EXPECT_TRUE(OfficeFilesOf(getpid()).empty());
}

// An office whose temporary folder is full, or holds no more files, cannot start: it is told as
// that, not as an office missing.
TEST(OfficeStart, AFullTemporaryFolderIsToldAsSuch)
{
    const std::string saved = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    for (const auto what : {FullFileSystem::Exhausted::Space, FullFileSystem::Exhausted::Files}) {
        TempFolder folder;
        const FullFileSystem full(folder.path(), what);
        if (!full.Mounted())
            OPTIONAL_SKIP("mounting a small file system needs root");
        setenv("TMPDIR", folder.path().c_str(), 1);
        SpreadsheetServer server(std::chrono::seconds(30));
        const CallResult bound = server.Bind();
        EXPECT_FALSE(bound.done);
        EXPECT_EQ(bound.failure.kind, FailureKind::TemporaryFolderUnusable)
            << bound.failure.message.toStdString();
        server.Quit();
        if (saved.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", saved.c_str(), 1);
    }
    EXPECT_EQ(OfficesOfThisProcess(), 0);
}

// Under any umask the office's profile folder, the files in it and its pipe's socket are the
// user's alone, in the sandbox and outside it. (The folders inside are reached only through the
// profile folder.)
TEST(OfficeStart, TheProfileAndThePipeAreTheUsersAloneWhateverTheUmask)
{
    const mode_t saved = umask(0);
    for (const bool sandbox : {false, true}) {
        SCOPED_TRACE(sandbox ? "in the sandbox" : "outside the sandbox");
        if (sandbox && !SandboxAvailable())
            continue; // told on standard error
        OfficeConfinement confinement;
        confinement.sandbox = sandbox;
        SpreadsheetServer server(std::chrono::seconds(60), 0, PdfKind::Standard, confinement);
        const CallResult bound = server.Bind();
        ASSERT_TRUE(bound.done) << bound.failure.message.toStdString();
        int sockets = 0, checked = 0;
        for (const std::string& found : OfficeFilesOf(getpid())) {
            std::error_code error;
            for (std::filesystem::recursive_directory_iterator entry(found, error), end;
                 !error && entry != end; entry.increment(error)) {
                struct stat info;
                if (lstat(entry->path().c_str(), &info) != 0 || S_ISLNK(info.st_mode) ||
                    S_ISDIR(info.st_mode))
                    continue;
                ++checked;
                sockets += S_ISSOCK(info.st_mode);
                EXPECT_EQ(info.st_mode & 077, 0u) << entry->path();
            }
            struct stat info;
            if (lstat(found.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
                sockets += S_ISSOCK(info.st_mode);
                EXPECT_EQ(info.st_mode & 077, 0u) << found;
            }
        }
        EXPECT_GT(checked, 2);
        // The pipe and the office's single-instance pipe.
        EXPECT_GE(sockets, sandbox ? 2 : 1);
        server.Quit();
    }
    umask(saved);
}

// Servers starting at once on an empty cache both start and leave one set-up profile there,
// whole: an office started from it accepts connections without first asking to be started again.
TEST(OfficeStart, ServersAtOnceOnAnEmptyCacheLeaveOneSetUpProfile)
{
    namespace fs = std::filesystem;
    TempFolder cache;
    const std::string saved = std::getenv("XDG_CACHE_HOME") ? std::getenv("XDG_CACHE_HOME") : "";
    setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    std::atomic<int> started{0};
    std::vector<std::thread> servers;
    for (int i = 0; i < 2; ++i)
        servers.emplace_back([&started] {
            SpreadsheetServer server(std::chrono::seconds(60));
            started += server.Bind().done;
            server.Quit();
        });
    for (std::thread& server : servers)
        server.join();
    EXPECT_EQ(started, 2);
    std::vector<fs::path> kept;
    for (const fs::directory_entry& entry : fs::directory_iterator(cache.path() / "quillsheet"))
        kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0], CachedProfileFolder());

    OfficeProcess office;
    SystemFailure failure;
    ASSERT_TRUE(office.Start(failure)) << failure.message;
    const std::string pipe =
        PipeSocketFolder + "/" + PipeSocketPrefix(getuid()) +
        office.ConnectionDescription().substr(std::string("pipe,name=").size());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(pipe) && office.Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(pipe));
    EXPECT_TRUE(office.Running()) << "exit code " << office.ExitCode();
    office.Stop(std::chrono::milliseconds(0));
    if (saved.empty())
        unsetenv("XDG_CACHE_HOME");
    else
        setenv("XDG_CACHE_HOME", saved.c_str(), 1);
}

// The office's environment is made from nothing, in the sandbox and outside: a variable of the
// caller's never reaches it, and it has what it needs to read and write.
TEST(OfficeStart, TheOfficeGetsOnlyTheEnvironmentItNeeds)
{
    setenv("QUILLSHEET_CALLERS_SECRET", "planted", 1);
    for (const bool sandbox : {false, true}) {
        SCOPED_TRACE(sandbox ? "in the sandbox" : "outside the sandbox");
        if (sandbox && !SandboxAvailable())
            continue; // told on standard error
        OfficeConfinement confinement;
        confinement.sandbox = sandbox;
        SpreadsheetServer server(std::chrono::seconds(60), 0, PdfKind::Standard, confinement);
        const CallResult bound = server.Bind();
        ASSERT_TRUE(bound.done) << bound.failure.message.toStdString();
        const std::vector<std::filesystem::path> offices = OfficeProcessesOf(getpid());
        ASSERT_EQ(offices.size(), 1u);
        std::ifstream environ(offices[0] / "environ");
        std::map<std::string, std::string> variables;
        for (std::string item; std::getline(environ, item, '\0');)
            variables[item.substr(0, item.find('='))] = item.substr(item.find('=') + 1);
        std::set<std::string> names;
        for (const auto& [name, value] : variables)
            names.insert(name);
        // Bubblewrap adds PWD, the folder it starts the office in.
        const std::set<std::string> needed = {"PATH", "HOME", "LC_ALL", "TMPDIR"},
                                    allowed = {"PATH",
                                               "HOME",
                                               "LC_ALL",
                                               "TMPDIR",
                                               "FONTCONFIG_FILE",
                                               "FONTCONFIG_PATH",
                                               "XDG_DATA_HOME",
                                               "XDG_CONFIG_HOME",
                                               "PWD"};
        EXPECT_TRUE(std::includes(names.begin(), names.end(), needed.begin(), needed.end()));
        EXPECT_TRUE(std::includes(allowed.begin(), allowed.end(), names.begin(), names.end()))
            << "the office has more than it needs: " << ::testing::PrintToString(names);
        EXPECT_EQ(variables["LC_ALL"], "C.UTF-8");
        EXPECT_EQ(variables["PATH"], "/usr/local/bin:/usr/bin:/bin");
        // Its temporary folder is inside its profile; so, in the sandbox, is its home.
        const std::string profile = variables["TMPDIR"].substr(0, variables["TMPDIR"].rfind('/'));
        EXPECT_NE(profile.find(ProfileFolderPrefix(getpid())), std::string::npos) << profile;
        EXPECT_EQ(variables["HOME"], sandbox ? profile : std::string(std::getenv("HOME")));
        server.Quit();
    }
    unsetenv("QUILLSHEET_CALLERS_SECRET");
}
