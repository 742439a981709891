#pragma once

#include "common/tempfolder.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

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
inline bool ConvertWithOffice(const std::vector<std::string>& sources, const std::string& format,
                              const std::string& outDir)
{
    const std::string suffix = format.substr(0, format.find(':'));
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
            converted = converted && std::filesystem::exists(
                                         std::filesystem::path(outDir) /
                                         std::filesystem::path(source).stem().concat("." + suffix));
        if (converted)
            return true;
        std::fprintf(stderr,
                     "the office's converter failed (attempt %d, spawn %d, status %d):\n%s\n",
                     attempt, spawned, status, ReadFile(log).c_str());
    }
    return false;
}
