#pragma once

#include "convert/runoptions.h"
#include "convert/spreadsheetapplications.h"

#include <QString>
#include <QStringList>

#include <chrono>

constexpr std::chrono::milliseconds DefaultStopGrace{5000};
constexpr double MaxStopGraceSeconds = 86400;

// What quillsheet-cli was asked to do, read from its arguments and environment.
struct CommandLine
{
    enum class Action
    {
        Convert,
        Print,       // print text on standard output and end (help, version)
        BadArguments // print text on standard error and end with exit code 2
    };
    Action action = Action::Convert;
    QString text;

    QString source; // absolute, native separators
    QString output; // absolute, native separators; empty beside the source
    bool besideSource = false;
    bool mergeSheets = false;
    bool quiet = false;
    QString report; // "-": standard output
    bool update = false;
    bool watch = false;
    RunOptions run;
    // How the program's applications work; callLimit is the one in force, set by --timeout or
    // the environment.
    ApplicationOptions applications;
    // Refuse to convert where the applications would run without their sandbox.
    bool requireSandbox = false;
    // How long a stop signal waits for the workbooks in work before their applications are ended.
    std::chrono::milliseconds stopGrace = DefaultStopGrace;
};

// Reads the arguments (the program's name first); checks what can be checked without touching
// the file system.
CommandLine ReadCommandLine(const QStringList& arguments);
