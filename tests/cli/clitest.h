#pragma once

// quillsheet-cli run as a user runs it: the fixture of the command-line tests.

#include "common/pdf.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

const std::string Corpus = QUILLSHEET_CORPUS_DIR;
const std::string Examples = QUILLSHEET_EXAMPLES;

// Sends the signals in order, each once the one before has reached the program: signals pending
// together are delivered lowest number first, not in the order they were sent.
inline void SendInTurn(pid_t pid, const std::vector<int>& signals)
{
    const auto pending = [pid] {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(status, line);)
            if ((line.rfind("SigPnd:", 0) == 0 || line.rfind("ShdPnd:", 0) == 0) &&
                line.find_first_not_of("0", line.find_first_not_of(" \t", 7)) != std::string::npos)
                return true;
        return false;
    };
    for (const int signal : signals) {
        for (int i = 0; i < 5000 && pending(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        kill(pid, signal);
    }
}

struct Outcome
{
    int exitCode = -1;
    pid_t pid = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test
{
protected:
    TempFolder folder;
    // Where the program's standard output and error go, when not to Out() and Err().
    std::string standardOutput;
    std::string standardError;
    // The command that the program is started through, when not directly.
    std::vector<std::string> launcher;

    // Starts the program with stdout and stderr going to files, the stop signals at their
    // defaults and extra environment entries ("NAME=value", in place of ours of that name).
    pid_t Start(std::vector<std::string> args, const std::vector<std::string>& env = {})
    {
        args.insert(args.begin(), QUILLSHEET_CLI);
        args.insert(args.begin(), launcher.begin(), launcher.end());
        std::vector<char*> argv, envp;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        const auto given = [&env](const std::string& entry) {
            for (const std::string& extra : env) {
                const std::string name = extra.substr(0, extra.find('=') + 1); // "NAME="
                if (!name.empty() && entry.compare(0, name.size(), name) == 0)
                    return true;
            }
            return false;
        };
        for (char** entry = environ; *entry; ++entry)
            if (!given(*entry))
                envp.push_back(*entry);
        for (const std::string& entry : env)
            envp.push_back(const_cast<char*>(entry.c_str()));
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1,
                                         (standardOutput.empty() ? Out() : standardOutput).c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2,
                                         (standardError.empty() ? Err() : standardError).c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&defaults, signal);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0)
            pid = -1;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // Waits for the program to end; exitCode -1 when a signal ended it.
    Outcome Finish(pid_t pid)
    {
        Outcome outcome;
        outcome.pid = pid;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        outcome.out = ReadFile(Out());
        outcome.err = ReadFile(Err());
        return outcome;
    }

    Outcome Cli(std::vector<std::string> args, const std::vector<std::string>& env = {})
    {
        return Finish(Start(std::move(args), env));
    }

    // Waits until the program has printed text on stdout (times times); false after 60 s.
    bool WaitForOutput(const std::string& text, int times = 1)
    {
        for (int i = 0; i < 1200; ++i) {
            if (Occurrences(ReadFile(Out()), text) >= times)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Ten workbooks in "in", each taking the office a while, and an empty "out".
    void MakeSlowWorkbooks()
    {
        fs::create_directories(folder / "in");
        fs::create_directories(folder / "out");
        for (int i = 0; i < 10; ++i)
            WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"),
                      SpreadsheetMl({{"Data", MarkedRows("ROW", 400)}}));
    }

    static std::set<std::string> Pdfs(const fs::path& folder) { return PdfsBelow(folder); }

    // A JSON report's facts, one a line (see report_facts.py), after it was checked against the
    // documented schema; "invalid: …" when it fails that check.
    static std::vector<std::string> ReportFacts(const std::string& report)
    {
        const std::string output =
            CommandOutput("/usr/bin/python3 " + Quoted(REPORT_FACTS) + " " + Quoted(report) + " " +
                          Quoted(REPORT_SCHEMA) + " 2>&1 || echo invalid");
        std::vector<std::string> facts;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);)
            facts.push_back(line);
        return facts;
    }

    // The report of a stopped run: it says so, and names notReached workbooks as not converted.
    static void ExpectStoppedReport(const std::string& report, int notReached)
    {
        const std::vector<std::string> facts = ReportFacts(report);
        ASSERT_FALSE(facts.empty());
        EXPECT_EQ(facts[0], "stopped true");
        int stopped = 0;
        for (const std::string& fact : facts)
            stopped += fact.find(" stopped -") != std::string::npos;
        EXPECT_EQ(stopped, notReached);
    }

    static int Occurrences(const std::string& text, const std::string& part)
    {
        int found = 0;
        for (std::size_t at = text.find(part); at != std::string::npos;
             at = text.find(part, at + part.size()))
            ++found;
        return found;
    }

    // The workbooks whose paths a run printed, relative to "in".
    std::set<std::string> Converted(const std::string& out) const
    {
        std::set<std::string> paths;
        const std::string in = (folder / "in") + "/";
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(in, 0) == 0)
                paths.insert(line.substr(in.size()));
        return paths;
    }

    // The environment of a user whose locale is lang, with no other variable naming a language.
    static std::vector<std::string> Speaking(const std::string& lang)
    {
        return {"LANG=" + lang, "LANGUAGE=", "LC_ALL=", "LC_MESSAGES="};
    }

    // Keeps the runs' update state in the test's folder, away from the user's cache.
    std::vector<std::string> CacheHere() const { return {"XDG_CACHE_HOME=" + (folder / "cache")}; }

    // The output from the summary on.
    static std::string FromSummary(const std::string& out)
    {
        const std::size_t at = out.find("成功将");
        return at == std::string::npos ? std::string() : out.substr(at);
    }

    std::string Out() const { return folder / "stdout"; }
    std::string Err() const { return folder / "stderr"; }
};
