#include "automation/officeapplications.h"
#include "automation/officesandbox.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// What the front doors ask of the program's applications before a run, without starting an
// office: the temporary folder (its wordings are its check's own tests) and the sandbox.
TEST(OfficeApplications, TellTheTemporaryFolderAndTheSandboxAsTheyAre)
{
    const std::string saved = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    TempFolder usable;
    for (const std::string& tmpdir : {std::string("reltmp"), usable.path().string()}) {
        setenv("TMPDIR", tmpdir.c_str(), 1);
        const QString problem =
            NewSpreadsheetApplications(ApplicationOptions())->TemporaryFolderProblem();
        EXPECT_EQ(problem.contains(QStringLiteral("TMPDIR=\"reltmp\"")), tmpdir == "reltmp")
            << problem.toStdString();
        EXPECT_EQ(problem.isEmpty(), tmpdir != "reltmp");
    }
    if (saved.empty())
        unsetenv("TMPDIR");
    else
        setenv("TMPDIR", saved.c_str(), 1);

    const QString problem = QString::fromStdString(SandboxProblem());
    for (const bool sandbox : {true, false}) {
        ApplicationOptions options;
        options.sandbox = sandbox;
        EXPECT_EQ(NewSpreadsheetApplications(options)->UnsandboxedBecause(),
                  !sandbox            ? QStringLiteral("沙箱已按要求关闭（--no-sandbox）")
                  : problem.isEmpty() ? QString()
                                      : QStringLiteral("无法建立沙箱：") + problem);
    }
}

} // namespace
