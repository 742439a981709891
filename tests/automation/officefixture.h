#pragma once

#include "automation/automationobject.h"
#include "support/failurekind.h"

#include "common/officeprocesses.h"
#include "common/pdf.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>
#include <vector>

// Tests against the real office: a bound application object per test, and no office process of
// ours left once a test ends.
class OfficeTest : public ::testing::Test
{
protected:
    void SetUp() override { AutomationObject::setCallTimeLimit(std::chrono::seconds(60)); }

    void TearDown() override
    {
        application.reset();
        EXPECT_EQ(OfficesOfThisProcess(), 0) << "an office outlived its test";
    }

    AutomationObject* Bind()
    {
        application = std::make_unique<AutomationObject>();
        EXPECT_TRUE(application->setControl(QStringLiteral("Excel.Application")));
        Watch(application.get());
        return application.get();
    }

    // Records the reasons that obj reports for failed calls: message, kind and help.
    void Watch(AutomationObject* obj)
    {
        QObject::connect(
            obj, &AutomationObject::exception,
            [this](int code, const QString&, const QString& desc, const QString& help) {
                errors << desc;
                kinds.push_back(static_cast<FailureKind>(code));
                helps << help;
            });
    }

    AutomationObject* Open(const std::string& path)
    {
        AutomationObject* books = application->querySubObject("WorkBooks");
        Watch(books);
        AutomationObject* book =
            books->querySubObject("Open(const QString&)", QString::fromStdString(path));
        if (book)
            Watch(book);
        return book;
    }

    AutomationObject* Sheet(AutomationObject* book, int index)
    {
        AutomationObject* sheet = book->querySubObject("WorkSheets(int)", index);
        if (sheet)
            Watch(sheet);
        return sheet;
    }

    std::unique_ptr<AutomationObject> application;
    QStringList errors;
    std::vector<FailureKind> kinds;
    QStringList helps;
};
