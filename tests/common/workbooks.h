#pragma once

#include "common/tempfolder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// Workbooks made by the tests: SpreadsheetML 2003 text (which Excel and the office open as .xls),
// turned into real .xlsx/.xls/.xlsm files by the office's own converter where a test needs them.

struct SheetSpec
{
    std::string name;
    std::string rows; // the <Row> elements of the sheet's table
};

inline std::string TextCell(const std::string& text)
{
    return "<Cell><Data ss:Type=\"String\">" + text + "</Data></Cell>";
}

inline std::string NumberCell(const std::string& number)
{
    return "<Cell><Data ss:Type=\"Number\">" + number + "</Data></Cell>";
}

// A sheet of count rows, each holding marker and the row's number: long enough for several
// printed pages when count is large.
inline std::string MarkedRows(const std::string& marker, int count)
{
    std::string rows;
    for (int row = 1; row <= count; ++row)
        rows += "<Row>" + TextCell(marker) + NumberCell(std::to_string(row)) + "</Row>";
    return rows;
}

inline std::string SpreadsheetMl(const std::vector<SheetSpec>& sheets)
{
    std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<?mso-application progid="Excel.Sheet"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">
<Styles><Style ss:ID="filled"><Interior ss:Color="#FFFF00" ss:Pattern="Solid"/></Style></Styles>
)";
    for (const SheetSpec& sheet : sheets)
        xml += "<Worksheet ss:Name=\"" + sheet.name + "\"><Table>" + sheet.rows +
               "</Table></Worksheet>\n";
    return xml + "</Workbook>\n";
}

// Converts sources with the office's own command line into format ("xlsx", "xls", or
// "xlsm:Calc MS Excel 2007 VBA XML"), writing into outDir; true when it ran cleanly and wrote
// every file. A failed attempt is told on standard error with the office's own output, then
// tried once more.
// Where a conversion of source's bytes to format is kept for the test processes after the first:
// each test runs in a process of its own, and the office's converter takes seconds.
inline std::filesystem::path CachedConversion(const std::string& source, const std::string& format)
{
    std::uint64_t key = 14695981039346656037ULL; // 64-bit FNV-1a
    for (const unsigned char c : ReadFile(source) + '\0' + format) {
        key ^= c;
        key *= 1099511628211ULL;
    }
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(key));
    return std::filesystem::path(QUILLSHEET_TEST_CACHE) / name;
}

// Converts the sources with the office's own converter into outDir, each under its stem; false
// when one could not be converted. What was converted before comes from the cache.
inline bool ConvertWithOffice(const std::vector<std::string>& given, const std::string& format,
                              const std::string& outDir)
{
    namespace fs = std::filesystem;
    const std::string suffix = format.substr(0, format.find(':'));
    const auto target = [&](const std::string& source) {
        return fs::path(outDir) / fs::path(source).stem().concat("." + suffix);
    };
    std::vector<std::string> sources;
    for (const std::string& source : given) {
        std::error_code notCached;
        fs::copy_file(CachedConversion(source, format), target(source),
                      fs::copy_options::overwrite_existing, notCached);
        if (notCached)
            sources.push_back(source);
    }
    if (sources.empty())
        return true;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        TempFolder profile;
        const std::string log = profile / "output.txt";
        std::vector<std::string> args = {"/usr/lib/libreoffice/program/soffice",
                                         "-env:UserInstallation=file://" + profile.path().string(),
                                         "--headless",
                                         "--norestore",
                                         "--convert-to",
                                         format,
                                         "--outdir",
                                         outDir};
        args.insert(args.end(), sources.begin(), sources.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        bool converted = spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                         WEXITSTATUS(status) == 0;
        for (const std::string& source : sources)
            converted = converted && fs::exists(target(source));
        if (converted) {
            // Copied aside and renamed, so that a process at once never reads half a file.
            for (const std::string& source : sources) {
                const fs::path cached = CachedConversion(source, format);
                const fs::path aside = cached.string() + ".part" + std::to_string(getpid());
                std::error_code ignored;
                fs::create_directories(cached.parent_path(), ignored);
                if (fs::copy_file(target(source), aside, fs::copy_options::overwrite_existing,
                                  ignored))
                    fs::rename(aside, cached, ignored);
            }
            return true;
        }
        std::fprintf(stderr,
                     "the office's converter failed (attempt %d, spawn %d, status %d):\n%s\n",
                     attempt, spawned, status, ReadFile(log).c_str());
    }
    return false;
}
