#pragma once

#include "convert/spreadsheetapplication.h"
#include "support/regionpaper.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

// The PDFs a run writes.
enum class PdfKind
{
    Standard,
    Archival // PDF/A-2b, every font embedded
};

// How the program's spreadsheet applications work, set once as it starts (the command line's
// options, the window's defaults). Excel on Windows takes none of them: it is the desktop's own
// application, it knows the region's paper, and the command line refuses PDF/A for it.
struct ApplicationOptions
{
    PdfKind pdf = PdfKind::Standard;
    // The paper of sheets that name none: the default of the user's printer, which follows the
    // region (UserRegionPaper(), read when the program starts).
    Paper regionPaper = Paper::A4;
    // Private offices run in a sandbox where one can be had: they reach no network and, of the
    // user's files, only the source tree and the output folder.
    bool sandbox = true;
    // The memory in GB that a private office may take for one workbook (0: the machine's memory
    // shared among the run's offices and one more, at most 4 GB) and how long one workbook's
    // conversion may take (0: 10 times the limit of one call).
    double maxMemoryGB = 0;
    std::chrono::milliseconds workbookLimit{0};
    // The limit of each call into an office.
    std::chrono::milliseconds callLimit{120000};
    // Workbooks after which an office is replaced by a fresh one (0: its default, 200).
    int restartInterval = 0;
};

// What the applications of one run may reach besides their own files, and how many work at once.
struct ApplicationScope
{
    QStringList readable; // the source tree, and the folders outside it that links lead to
    QStringList writable; // the output folder (beside the source: the tree)
    int applications = 1;
};

// The platform's spreadsheet applications, made once by the program and handed to its runs:
// Excel or WPS through COM on Windows, private LibreOffice servers elsewhere. Besides making an
// application for each job of a run, it does what the program needs of them all at once.
class SpreadsheetApplications
{
public:
    virtual ~SpreadsheetApplications() = default;

    // A new application for one job of a run, not yet bound; made in the thread that uses it.
    virtual std::unique_ptr<SpreadsheetApplication> New(const ApplicationScope& scope) = 0;

    // Why the applications do not run in a sandbox, in the user's language; empty when they do.
    // Starts no application.
    virtual QString UnsandboxedBecause() = 0;

    // Why the applications cannot use the temporary folder, one line for the user; empty when
    // they can. Asked before a run makes anything.
    virtual QString TemporaryFolderProblem() = 0;

    // Removes from a folder the temporary PDFs that killed runs of this user left there;
    // returns how many.
    virtual int RemoveLeftTemporaryPdfs(const QString& folder) = 0;

    // Kills every application now and removes their files, from any thread, for a program that
    // ends right afterwards (a second stop signal, a lost display). False when none ran.
    virtual bool EndAllNow() = 0;

    // Kills every application now, from any thread, so that a run stopped by the user need not
    // wait for the workbooks in work: their calls fail, and no application starts until
    // AllowStarts(). False when none ran.
    virtual bool StopAllNow() = 0;
    virtual void AllowStarts() = 0;
};
