#pragma once

// What a failed call of the spreadsheet application comes to, as the run tells the user
// (convert/failurereasons.h words each). In support/, plain C++ built on every platform, because
// the server that classifies failures (automation/, Linux only) and the run that explains them
// (convert/, Windows too) both need it.
enum class FailureKind
{
    None,                    // nothing known: no failure was reported
    Reported,                // the application's message says it all: no plainer reason
    NameTooLong,             // a file name longer than the file system allows
    PathTooLong,             // a whole path longer than the system allows, though each name fits
    NotWritable,             // the folder cannot be written
    DiskFull,                // no space left, or the disk quota is used up
    OutOfInodes,             // the file system can hold no more files, though space is left
    FileBusy,                // the file is in use (busy, locked)
    FileEmpty,               // a workbook file of 0 bytes
    FileMissing,             // the workbook file does not exist
    NotReadable,             // the workbook file may not be read by this user
    Encrypted,               // a workbook locked with a password to open
    TextImportOnly,          // only a plain-text import reads the file: no workbook
    CannotOpen,              // damaged, encrypted or not a workbook
    SheetHidden,             // a hidden worksheet, which Excel does not export
    NothingToPrint,          // the worksheet prints no page
    SheetNameInvalid,        // a sheet the workbook lists that the application did not load, as
                             // its name is not one it takes
    NoPdfWritten,            // the export ended without a PDF
    NoAnswer,                // no answer within the call limit: the application was stopped
    WorkbookTooLong,         // the workbook's conversion outlasted its limit: the application
                             // was stopped
    MemoryExceeded,          // the workbook took more memory than allowed: the application was
                             // stopped
    OfficeEnded,             // the application ended unexpectedly
    OfficeStopped,           // the application was stopped: the workbook is no longer open
    CannotStart,             // the application cannot be started or reached, or has quit
    TemporaryFolderUnusable, // the application cannot start: the temporary folder is full or
                             // unusable
};
