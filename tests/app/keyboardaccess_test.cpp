#include "app/mainwindow.h"
#include "app/startuppaths.h"

#include "common/tempfolder.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

using KeyboardAccessTest = WindowTest;

TEST_F(KeyboardAccessTest, FocusStartsInTheSourceFieldAndTabSkipsTheLoneTab)
{
    MainWindow window(applications);
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(&window, "lEdt_SourcePath"));
    EXPECT_EQ(Find<QTabWidget>(&window, "tabWidget")->tabBar()->focusPolicy(), Qt::NoFocus);
}

// Every control can be reached by its letter and is named and described to a screen reader
// through Qt's accessibility interface, the way AT-SPI reads it.
TEST_F(KeyboardAccessTest, EveryControlHasAMnemonicAndAnAccessibleNameAndDescription)
{
    MainWindow window(applications);
    QSet<QChar> letters;
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->parent()->inherits("QTabBar"))
            continue; // the tab bar's scroll buttons
        SCOPED_TRACE(button->objectName().toStdString());
        const int amp = button->text().indexOf('&');
        ASSERT_GE(amp, 0) << button->text().toStdString();
        const QChar letter = button->text().at(amp + 1);
        EXPECT_FALSE(letters.contains(letter)) << "two controls on one letter";
        letters.insert(letter);
    }
    EXPECT_EQ(letters.size(), 8);

    const char* controls[] = {"lEdt_SourcePath", "pBtn_SourcePath", "cBox_MergeSheets",
                              "lEdt_SavePath",   "pBtn_SavePath",   "cBox_SaveToQuondamPath",
                              "pBtn_Transform",  "pBtn_Stop",       "progressBar_Run",
                              "pBtn_OpenFolder", "pBtn_OpenReport"};
    for (const char* name : controls) {
        SCOPED_TRACE(name);
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(
            window.findChild<QWidget*>(QString::fromLatin1(name)));
        ASSERT_TRUE(access);
        EXPECT_FALSE(access->text(QAccessible::Name).isEmpty());
        EXPECT_FALSE(access->text(QAccessible::Description).isEmpty());
        EXPECT_FALSE(access->text(QAccessible::Name).contains('&'));
    }
}

// What the click refuses, each named and without a run begun; Escape closes the message.
TEST_F(KeyboardAccessTest, TheClickRefusesFoldersThatCannotServe)
{
    fs::create_directories(folder / "in");
    WriteFile(folder / "a-file", "x");
    struct Case
    {
        std::string source;
        std::string output;
        QString message;
    };
    const Case cases[] = {
        {folder / "missing", folder / "in", QStringLiteral("提取文件夹不存在!")},
        {folder / "in", folder / "missing", QStringLiteral("保存文件夹不存在!")},
        {folder / "in", folder / "a-file", QStringLiteral("保存文件夹不存在!")},
        // A read-only file system, which refuses even root.
        {folder / "in", "/proc", QStringLiteral("保存文件夹无法写入：/proc：")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        MainWindow window(applications);
        Find<QLineEdit>(&window, "lEdt_SourcePath")->setText(QString::fromStdString(c.source));
        Find<QLineEdit>(&window, "lEdt_SavePath")->setText(QString::fromStdString(c.output));
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            shown = box->text();
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &escape);
        });
        auto* convert = Find<QPushButton>(&window, "pBtn_Transform");
        convert->click();
        EXPECT_TRUE(shown.startsWith(c.message)) << shown.toStdString();
        EXPECT_TRUE(convert->isEnabled()) << "a run began";
        EXPECT_FALSE(QApplication::activeModalWidget()) << "Escape left the message up";
    }
}

TEST_F(KeyboardAccessTest, TheRunsActionsWaitForARunsEnd)
{
    MainWindow window(applications);
    EXPECT_TRUE(Find<QWidget>(&window, "widget_RunActions")->isHidden());
    EXPECT_EQ(Find<QPushButton>(&window, "pBtn_OpenFolder")->parentWidget()->objectName(),
              "widget_RunActions");
    EXPECT_EQ(Find<QPushButton>(&window, "pBtn_OpenReport")->parentWidget()->objectName(),
              "widget_RunActions");
}

} // namespace
