#pragma once

#include "automation/spreadsheetserver.h"
#include "support/failurekind.h"

#include "common/officeprocesses.h"
#include "common/pdf.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <chrono>
#include <memory>
#include <vector>

// Tests against the real office: a bound server per test, the failures its calls report, and no
// office process of ours left once a test ends.
class OfficeTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        application.reset();
        EXPECT_EQ(OfficesOfThisProcess(), 0) << "an office outlived its test";
    }

    SpreadsheetServer& Bind(std::chrono::milliseconds callLimit = std::chrono::seconds(60),
                            int restartInterval = 0,
                            const OfficeConfinement& confinement = OfficeConfinement())
    {
        application = std::make_unique<SpreadsheetServer>(callLimit, restartInterval,
                                                          PdfKind::Standard, confinement);
        EXPECT_TRUE(Noted(application->Bind()).done);
        return *application;
    }

    // Keeps the failure that a call reported: its message, kind and exceeded limit.
    template <typename Result> Result Noted(Result result)
    {
        Note(result.failure);
        return result;
    }
    void Note(const ReportedFailure& failure)
    {
        if (failure.kind == FailureKind::None)
            return;
        errors << failure.message;
        kinds.push_back(failure.kind);
        limits.push_back(failure.limit);
    }
    void Forget()
    {
        errors.clear();
        kinds.clear();
        limits.clear();
    }

    bool Open(const std::string& path)
    {
        return Noted(application->Open(QString::fromStdString(path))).done;
    }
    void ExportSheet(int sheet, const std::string& pdf)
    {
        Note(application->ExportSheet(sheet, QString::fromStdString(pdf)));
    }
    void ExportWorkbook(const std::string& pdf)
    {
        Note(application->ExportWorkbook(QString::fromStdString(pdf)));
    }

    std::unique_ptr<SpreadsheetServer> application;
    QStringList errors;
    std::vector<FailureKind> kinds;
    std::vector<double> limits;
};
