#include "app/mainwindow.h"
#include "app/startuppaths.h"
#include "app/systemtray.h"

#include "common/fakeapplications.h"
#include "common/qteventloop.h"
#include "common/qtprint.h"
#include "common/tempfolder.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

namespace {

class SystemTrayTest : public ::testing::Test
{
protected:
    TempFolder folder;
    FakeApplications applications;
    std::unique_ptr<MainWindow> window;

    void SetUp() override
    {
        StartupPaths.SettingsFile = folder / "Quillsheet.qlx";
        StartupPaths.LaunchArg = "-autorun";
        window = std::make_unique<MainWindow>(applications);
    }
    void TearDown() override { StartupPaths.LaunchArg.clear(); }
};

TEST_F(SystemTrayTest, MenuIconAndToolTip)
{
    ASSERT_TRUE(trayIcon);
    EXPECT_EQ(trayIcon->parent(), window.get());
    EXPECT_TRUE(trayIcon->isVisible());
    EXPECT_FALSE(trayIcon->icon().isNull());
    EXPECT_EQ(trayIcon->toolTip(), QStringLiteral("excel文件批量转pdf"));
    const QList<QAction*> entries = trayIcon->contextMenu()->actions();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0]->text(), QStringLiteral("软件设置"));
    EXPECT_EQ(entries[1]->text(), QStringLiteral("退出程序"));
}

TEST_F(SystemTrayTest, ClickAndDoubleClickBringTheWindowUpOtherReasonsDoNothing)
{
    struct Case
    {
        QSystemTrayIcon::ActivationReason reason;
        bool shows;
    };
    const Case cases[] = {
        {QSystemTrayIcon::Unknown, false},     {QSystemTrayIcon::Context, false},
        {QSystemTrayIcon::DoubleClick, true},  {QSystemTrayIcon::Trigger, true},
        {QSystemTrayIcon::MiddleClick, false},
    };
    const QSize initial = window->size();
    for (const Case& c : cases) {
        window->hide();
        window->resize(900, 300);
        emit trayIcon->activated(c.reason);
        EXPECT_EQ(window->isVisible(), c.shows) << c.reason;
        EXPECT_EQ(window->size(), c.shows ? initial : QSize(900, 300)) << c.reason;
    }
}

TEST_F(SystemTrayTest, TheFirstEntryShowsTheWindow)
{
    const QSize initial = window->size();
    window->showMaximized();
    trayIcon->contextMenu()->actions()[0]->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMaximized());
    EXPECT_EQ(window->size(), initial);
}

TEST_F(SystemTrayTest, TheSecondEntryEndsTheEventLoop)
{
    EXPECT_EQ(RunEventLoop([] { trayIcon->contextMenu()->actions()[1]->trigger(); }), 0);
}

} // namespace
