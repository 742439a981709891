#pragma once

#include "convert/reportedfailure.h"

#include <QString>

// A fresh, empty file of our own in a PDF's folder that an export writes into before it takes
// the PDF's place: made with an exclusive create (never a link or someone else's file), renamed
// over the target (a link there is replaced, not followed), and removed unless it did.
class TemporaryPdf
{
public:
    explicit TemporaryPdf(const QString& folder);
    ~TemporaryPdf();
    TemporaryPdf(const TemporaryPdf&) = delete;
    TemporaryPdf& operator=(const TemporaryPdf&) = delete;

    // Empty when none could be made; failure() then says why.
    const QString& path() const { return path_; }
    const ReportedFailure& failure() const { return failure_; }

    // Puts the written file in target's place; false, with failure(), when it cannot.
    bool replace(const QString& target);

private:
    QString path_;
    ReportedFailure failure_;
};
