#pragma once

#include <QString>

// A failure's reason in the user's language, and the spreadsheet application's own message
// behind it, for the report.
struct ExplainedReason
{
    QString reason;
    QString detail; // the application's message; empty when the reason is our own
};

// Maps what the spreadsheet application reported to a few plain reasons (the name is too long,
// the folder cannot be written, the disk is full, the file is in use, …). A reason that is
// already in the user's language passes unchanged; a message that matches none of them becomes
// "the application reported an error", with the message kept as detail.
ExplainedReason Explain(const QString& reported);

// Whether the application refused an export because the sheet prints no page ("nothing to
// print"): a sheet left out, not a failure.
bool IsNothingToPrint(const QString& reported);
