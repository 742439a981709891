#pragma once

#include "convert/conversionrun.h"

// One conversion run per Transform(): lists the workbooks below the source folder, opens each
// in the spreadsheet application and exports its non-blank worksheets (or the whole workbook) as
// PDF, reporting each step through ShowDisposingFile. Lives in a worker thread of its own. A run
// with nothing to convert starts no application and tells the same texts.
//
// With several jobs, up to that many applications (as many as pay: applicationcount.h), each
// made and bound in a thread of its own, take the next workbook of the one list; a
// workbook is handled whole by one of them, with the calls one application makes alone. The texts
// are those of one application: "excel OK!" and "WorkBooks OK!" once, each workbook's path as its
// conversion starts, one summary with the failures in list order. PDF names are decided from the
// list before any export, so they never depend on the timing. A failing or hanging application
// costs only its own workbook.
class MergeObject : public ConversionRun
{
    Q_OBJECT

public:
    // One application, the run of the window on Windows.
    explicit MergeObject(SpreadsheetApplications& applications, QObject* parent = nullptr);
    MergeObject(SpreadsheetApplications& applications, RunOptions options,
                QObject* parent = nullptr);

protected:
    void Convert() override;
};
