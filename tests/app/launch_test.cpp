#include "app/mainwindow.h"
#include "app/startuppaths.h"
#include "convert/runsettings.h"

#include "automation/automationobject.h"
#include "common/officeprocesses.h"
#include "common/qtprint.h"
#include "common/tempfolder.h"
#include "common/wait.h"
#include "common/workbooks.h"
#include "convert/recordingserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

class LaunchTest : public ::testing::Test
{
protected:
    TempFolder folder;
    std::unique_ptr<MainWindow> window;
    std::shared_ptr<RecordingServer> server = std::make_shared<RecordingServer>();

    void SetUp() override
    {
        StartupPaths.SettingsFile = folder / "Quillsheet.qlx";
        StartupPaths.LaunchArg.clear();
        WriteFile(StartupPaths.SettingsFile, "");
        fs::create_directories(folder / "in");
        fs::create_directories(folder / "out");
        AutomationObject::setServerFactory([this](std::chrono::milliseconds) { return server; });
        window = std::make_unique<MainWindow>();
    }
    void TearDown() override
    {
        window.reset();
        AutomationObject::setServerFactory(nullptr);
    }

    template <typename T> T* Find(const char* name)
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    void Set(const char* field, const std::string& text)
    {
        Find<QLineEdit>(field)->setText(QString::fromStdString(text));
    }
    QPushButton* Convert() { return Find<QPushButton>("pBtn_Transform"); }
    QString Label() { return Find<QLabel>("lb_ShowDisposing")->text(); }

    // Clicks convert and returns the text of the message box it showed ("" for none).
    QString ClickExpectingMessage()
    {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            EXPECT_EQ(box->windowTitle(), "Message:");
            shown = box->text();
            box->accept();
        });
        Convert()->click();
        return shown;
    }
};

TEST_F(LaunchTest, MissingFoldersAreRefusedAfterTheTextsAreStored)
{
    EXPECT_EQ(ClickExpectingMessage(), QStringLiteral("提取文件夹不存在!"));
    EXPECT_EQ(ReadFile(StartupPaths.SettingsFile), "SourcePath=\r\nSavePath=\r\n");

    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "missing");
    EXPECT_EQ(ClickExpectingMessage(), QStringLiteral("保存文件夹不存在!"));
    EXPECT_EQ(ReadFile(StartupPaths.SettingsFile),
              "SourcePath=" + (folder / "in") + "\r\nSavePath=" + (folder / "missing") + "\r\n");

    WriteFile(folder / "a-file", "x");
    Set("lEdt_SourcePath", folder / "a-file");
    EXPECT_EQ(ClickExpectingMessage(), QStringLiteral("提取文件夹不存在!"));
    EXPECT_TRUE(Convert()->isEnabled());
    EXPECT_TRUE(server->calls.isEmpty());
}

TEST_F(LaunchTest, BesideTheSourceTheOutputFolderIsNotChecked)
{
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "missing");
    Find<QCheckBox>("cBox_SaveToQuondamPath")->click();
    EXPECT_EQ(ClickExpectingMessage(), QString());
    EXPECT_TRUE(SaveToQuondamPath);
    ASSERT_TRUE(WaitUntil([this] { return Convert()->isEnabled(); }));
    EXPECT_EQ(Label(), QStringLiteral("成功将0个excel文件转换为0个pdf文件。"));
}

TEST_F(LaunchTest, EachRunClearsTheLabelAndOnlyTheCurrentWorkerRuns)
{
    WriteFile(folder / "in/a.xlsx", "x");
    server->workbooks[QString::fromStdString(folder / "in/a.xlsx")].sheets = {
        {"S", {1, 1, 2, 2}, QStringLiteral("v"), true}};
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "out");
    Find<QCheckBox>("cBox_MergeSheets")->click();
    for (int run = 1; run <= 2; ++run) {
        Find<QLabel>("lb_ShowDisposing")->setText("old");
        Convert()->click();
        EXPECT_EQ(Label(), QString());
        EXPECT_FALSE(Convert()->isEnabled());
        ASSERT_TRUE(WaitUntil([this] { return Convert()->isEnabled(); }));
        EXPECT_EQ(Label(), QStringLiteral("成功将1个excel文件转换为1个pdf文件。"));
        EXPECT_EQ(server->calls.filter("setControl").size(), run) << "runs started twice";
    }
    EXPECT_TRUE(MergeSheets);
    EXPECT_TRUE(fs::exists(folder / "out/a.pdf"));
}

// With the real office: closing the window during a run of several workbooks stops it after
// the workbook in work and leaves no office behind.
TEST_F(LaunchTest, QuittingDuringARunEndsItCleanly)
{
    AutomationObject::setServerFactory(nullptr);
    for (int i = 0; i < 10; ++i)
        WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"),
                  SpreadsheetMl({{"Data", MarkedRows("ROW", 400)}}));
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "out");
    Convert()->click();
    ASSERT_TRUE(WaitUntil([this] { return Label().endsWith(".xls"); }));
    window.reset();
    EXPECT_EQ(OfficesOfThisProcess(), 0);
    int pdfs = 0;
    for (const auto& entry : fs::directory_iterator(folder / "out"))
        pdfs += entry.path().extension() == ".pdf";
    EXPECT_LT(pdfs, 10);
}

} // namespace
