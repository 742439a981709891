#pragma once

// Windows: the desktop's Excel or WPS, reached through COM, is every run's application.

#include "convert/spreadsheetapplications.h"
#include "excel/excelapplication.h"

#include <QAxObject>
#include <QCoreApplication>

#include <objbase.h>

class ExcelApplications final : public SpreadsheetApplications
{
public:
    std::unique_ptr<SpreadsheetApplication> New(const ApplicationScope&) override
    {
        // The thread enters COM before the application object exists: multithreaded, as the
        // run's threads are not Qt's GUI thread; the result changes nothing.
        CoInitializeEx(nullptr, 0);
        return std::make_unique<ExcelApplication<QAxObject>>();
    }
    QString UnsandboxedBecause() override
    {
        return QCoreApplication::translate("Run",
                                           "Excel或WPS是桌面自己的应用程序，本程序不为它建立沙箱");
    }
    // Excel keeps its temporary files where Windows tells it.
    QString TemporaryFolderProblem() override { return QString(); }
    // Excel writes its PDFs without a temporary file.
    int RemoveLeftTemporaryPdfs(const QString&) override { return 0; }
    // Excel is COM's to release when the program ends, and the desktop's own application, not
    // ours to kill: a stopped run waits for its workbook.
    bool EndAllNow() override { return false; }
    bool StopAllNow() override { return false; }
    void AllowStarts() override {}
};

// The program's applications. Excel takes none of the options: see ApplicationOptions.
inline std::unique_ptr<SpreadsheetApplications>
NewSpreadsheetApplications(const ApplicationOptions&)
{
    return std::make_unique<ExcelApplications>();
}
