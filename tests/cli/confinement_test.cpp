#include "cli/clitest.h"

#include "automation/officesandbox.h"
#include "common/loopbacklistener.h"
#include "common/officeprocesses.h"
#include "common/strictskips.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <cstdlib>
#include <utility>

// Workbooks from strangers (see make_hostile_workbooks.py): what they may read and call, and how
// much memory and time they may take.

namespace {

class ConfinementTest : public CliTest
{
protected:
    void SetUp() override
    {
        if (!SandboxAvailable())
            OPTIONAL_SKIP("this machine allows no namespaces for a sandbox");
        ASSERT_NE(listener.Port(), 0);
        ASSERT_EQ(std::system(("/usr/bin/python3 " + Quoted(MAKE_HOSTILE_WORKBOOKS) + " " +
                               Quoted(folder / "in") + " " + Quoted(folder / "secret.xlsx") + " " +
                               std::to_string(listener.Port()))
                                  .c_str()),
                  0);
    }

    // The report's settings on the sandbox, after the report was checked against its schema:
    // whether the offices ran in it, and why not.
    static std::pair<bool, QString> SandboxInReport(const fs::path& report)
    {
        EXPECT_EQ(ReportFacts(report).at(0), "stopped false");
        QFile file(QString::fromStdString(report));
        file.open(QIODevice::ReadOnly);
        const QJsonObject settings =
            QJsonDocument::fromJson(file.readAll()).object()["settings"].toObject();
        return {settings["sandboxed"].toBool(), settings["unsandboxedBecause"].toString()};
    }

    // No office of the run nor any of its files is left.
    static void ExpectNothingLeft(const Outcome& outcome)
    {
        EXPECT_EQ(OfficesOfThisProcess(outcome.pid), 0);
        EXPECT_TRUE(OfficeFilesOf(outcome.pid).empty());
    }

    LoopbackListener listener;
};

// In the sandbox a link reads a sibling of the tree, but neither a workbook outside it nor a URL,
// and no picture is fetched; without it, the same workbooks read the file and call the URLs.
TEST_F(ConfinementTest, LinksReadOnlyTheTreeAndNothingCallsOut)
{
    for (const bool sandbox : {true, false}) {
        SCOPED_TRACE(sandbox ? "sandbox" : "--no-sandbox");
        const fs::path out = folder / (sandbox ? "sandboxed" : "open");
        const fs::path report = out.string() + ".json";
        std::vector<std::string> args = {"--report", report, folder / "in/links", out};
        if (!sandbox)
            args.insert(args.begin(), "--no-sandbox");
        const int before = listener.Connections();
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
        const auto [sandboxed, why] = SandboxInReport(report);
        EXPECT_EQ(sandboxed, sandbox);
        EXPECT_EQ(why.toStdString(), sandbox ? "" : "沙箱已按要求关闭（--no-sandbox）");
        const std::string links = PdfText(out / "links(Sheet).pdf");
        EXPECT_NE(links.find("LINKS-MARKER"), std::string::npos) << links;
        EXPECT_NE(links.find("SIBLING-INSIDE"), std::string::npos) << links;
        EXPECT_EQ(links.find("SECRET-OUTSIDE") == std::string::npos, sandbox) << links;
        EXPECT_NE(PdfText(out / "picture(Sheet1).pdf").find("PICTURE-MARKER"), std::string::npos);
        // The office's calls out may come a moment after its export.
        std::this_thread::sleep_for(std::chrono::milliseconds(sandbox ? 500 : 0));
        EXPECT_EQ(listener.Connections() == before, sandbox) << listener.Connections();
        ExpectNothingLeft(outcome);
    }
}

// A workbook that takes more memory or time than allowed fails with that reason, its office is
// ended, and a fresh one takes the next workbook.
TEST_F(ConfinementTest, AWorkbookPastItsMemoryOrTimeFailsAloneAndTheRunGoesOn)
{
    struct Case
    {
        std::vector<std::string> args;
        const char* workbooks;
        const char* failure;
        double atMostSeconds;
    };
    const Case cases[] = {
        {{"--max-memory", "1"}, "bomb", "bomb.xlsx: 工作簿需要的内存超过1 GB，已停止", 60},
        {{"--workbook-timeout", "20"}, "slow", ": 工作簿的转换超过20秒，已停止", 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workbooks);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--jobs", "1", folder / (std::string("in/") + c.workbooks),
                                 folder / (std::string("out/") + c.workbooks)});
        const auto began = std::chrono::steady_clock::now();
        const Outcome outcome = Cli(args);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        EXPECT_EQ(outcome.exitCode, 1) << outcome.out << outcome.err;
        EXPECT_NE(outcome.out.find(c.failure), std::string::npos) << outcome.out;
        EXPECT_LT(seconds, c.atMostSeconds);
        ExpectNothingLeft(outcome);
    }
    EXPECT_NE(PdfText(folder / "out/bomb/next(Sheet).pdf").find("NEXT-MARKER"), std::string::npos);
}

// Where no namespaces can be had, the run says once why its offices run without a sandbox, and
// converts, and its report says so and why; with --require-sandbox it converts nothing, starts no
// office and says why.
TEST_F(ConfinementTest, WithoutNamespacesTheRunSaysSoOnceAndConverts)
{
    launcher = {"/usr/bin/bwrap",   "--dev-bind", "/",   "/", "--unshare-user",
                "--disable-userns", "--cap-drop", "ALL", "--"};
    const Outcome outcome = Cli(
        {"--jobs", "2", "--report", folder / "report.json", folder / "in/links", folder / "out"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
    EXPECT_EQ(Occurrences(outcome.err, "办公软件在沙箱之外运行"), 1) << outcome.err;
    EXPECT_EQ(PdfsBelow(folder / "out").size(), 3u);
    const auto [sandboxed, why] = SandboxInReport(folder / "report.json");
    EXPECT_FALSE(sandboxed);
    EXPECT_TRUE(why.startsWith("无法建立沙箱：") && why.size() > 8) << why.toStdString();

    const Outcome refused = Cli({"--require-sandbox", "--report", folder / "refused.json",
                                 folder / "in/links", folder / "refused"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "没有沙箱，不转换（--require-sandbox）：" + why.toStdString() + "\n");
    EXPECT_FALSE(fs::exists(folder / "refused"));
    EXPECT_FALSE(fs::exists(folder / "refused.json"));
}

} // namespace
