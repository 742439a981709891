#pragma once

#include "automation/automationobject.h"

#include "common/officeprocesses.h"
#include "common/tempfolder.h"
#include "common/workbooks.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cstdio>
#include <memory>

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

    // Records the reasons that obj reports for failed calls.
    void Watch(AutomationObject* obj)
    {
        QObject::connect(
            obj, &AutomationObject::exception,
            [this](int, const QString&, const QString& desc, const QString&) { errors << desc; });
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
};

inline std::string CommandOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
            output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

inline std::string Quoted(const std::string& path)
{
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline int PdfPages(const std::string& path)
{
    const std::string info = CommandOutput("pdfinfo " + Quoted(path) + " 2>/dev/null");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

inline std::string PdfText(const std::string& path)
{
    return CommandOutput("pdftotext " + Quoted(path) + " - 2>/dev/null");
}
