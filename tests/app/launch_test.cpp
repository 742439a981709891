#include "app/mainwindow.h"
#include "app/startuppaths.h"
#include "app/systemtray.h"
#include "convert/runoptions.h"
#include "convert/runsettings.h"

#include "automation/officeapplications.h"
#include "common/fakeapplications.h"
#include "common/fullfilesystem.h"
#include "common/officeprocesses.h"
#include "common/pdf.h"
#include "common/qteventloop.h"
#include "common/qtprint.h"
#include "common/strictskips.h"
#include "common/tempfolder.h"
#include "common/wait.h"
#include "common/workbooks.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include "notificationservice.h"
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

class LaunchTest : public ::testing::Test
{
protected:
    TempFolder folder;
    std::unique_ptr<MainWindow> window;
    FakeApplications fake;
    FakeWorkbooks& books = fake.books;
    // The real office's, for the tests that need it (UseTheOffice()).
    std::unique_ptr<SpreadsheetApplications> office;

    void SetUp() override
    {
        StartupPaths.SettingsFile = folder / "Quillsheet.qlx";
        StartupPaths.LaunchArg.clear();
        WriteFile(StartupPaths.SettingsFile, "");
        fs::create_directories(folder / "in");
        fs::create_directories(folder / "out");
        // The run's report goes to the user's data folder: here, the test's own.
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder / "data"));
        QCoreApplication::setApplicationName(QStringLiteral("Quillsheet"));
        window = std::make_unique<MainWindow>(fake);
    }
    void TearDown() override { window.reset(); }

    // A window whose runs use the real office, as the program's do.
    void UseTheOffice()
    {
        window.reset();
        office = NewSpreadsheetApplications(ApplicationOptions());
        window = std::make_unique<MainWindow>(*office);
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

    // Presses convert (by default a click) and returns the text of the message box it showed
    // ("" for none).
    QString ClickExpectingMessage(const std::function<void()>& press = nullptr)
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
        if (press)
            press();
        else
            Convert()->click();
        return shown;
    }

    // Enter pressed on a widget.
    static void PressEnter(QWidget* widget)
    {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(widget, &enter);
    }
};

#ifndef Q_OS_WIN
// A run that ends unseen is told through the desktop's notification service, with its summary
// and actions; a click on the notification brings the window back.
TEST_F(LaunchTest, ARunEndedUnseenIsToldThroughTheNotificationService)
{
    PrivateSessionBus bus;
    QString address;
    ASSERT_TRUE(bus.Start(address)) << "dbus-daemon, of the package dbus-daemon";
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    NotificationListener listener(address);
    ASSERT_TRUE(listener.Serving());
    WriteFile(folder / "in/book.xlsx", "x");
    books.workbooks[QString::fromStdString(folder / "in/book.xlsx")].sheets = {
        {"S", 2, 2, QStringLiteral("v")}};
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "out");
    window->hide();
    Convert()->click();
    ASSERT_TRUE(WaitFor([&] { return listener.calls == 1; }));
    EXPECT_EQ(listener.summary, window->windowTitle());
    EXPECT_TRUE(listener.body.startsWith(QStringLiteral("成功将1个excel文件转换为1个pdf文件。")))
        << listener.body.toStdString();
    EXPECT_TRUE(listener.actions.contains(QStringLiteral("open-folder")));
    EXPECT_TRUE(listener.actions.contains(QStringLiteral("open-report")));
    listener.Send("ActionInvoked", {41u, QStringLiteral("default")});
    EXPECT_TRUE(WaitFor([this] { return window->isVisible(); }));
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}
#endif

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
    // Enter in either field, or on the convert button, presses it.
    for (const char* where : {"lEdt_SourcePath", "lEdt_SavePath", "pBtn_Transform"})
        EXPECT_EQ(ClickExpectingMessage([&] { PressEnter(Find<QWidget>(where)); }),
                  QStringLiteral("提取文件夹不存在!"))
            << where;
    EXPECT_TRUE(Convert()->isEnabled());
    EXPECT_TRUE(fake.made.empty());
}

// A temporary folder the applications cannot use (a relative TMPDIR once left the office
// unanswering for the whole call limit) is shown at the click; its wordings are the check's own.
TEST_F(LaunchTest, AnUnusableTemporaryFolderIsShownAtTheClickAndNoRunStarts)
{
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "out");
    fake.temporaryFolderProblem =
        QStringLiteral("临时文件夹不可用：TMPDIR=\"reltmp\"：不是绝对路径");
    EXPECT_EQ(ClickExpectingMessage(), fake.temporaryFolderProblem);
    EXPECT_TRUE(Convert()->isEnabled());
    EXPECT_TRUE(fake.made.empty());
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
    books.workbooks[QString::fromStdString(folder / "in/a.xlsx")].sheets = {
        {"S", 2, 2, QStringLiteral("v")}};
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
        EXPECT_EQ(fake.made.size(), static_cast<std::size_t>(run)) << "runs started twice";
    }
    EXPECT_TRUE(MergeSheets);
    EXPECT_TRUE(fs::exists(folder / "out/a.pdf"));
}

// More failures than the label can name: the report file lists them all, the label says where it
// is, and a click on the label opens it.
class Opened : public QObject
{
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

TEST_F(LaunchTest, TheReportListsEveryFailureAndTheLabelLeadsToIt)
{
    for (int i = 0; i < 7; ++i) {
        const std::string book = folder / ("in/bad" + std::to_string(i) + ".xlsx");
        WriteFile(book, "x");
        books.workbooks[QString::fromStdString(book)].opens = false;
    }
    WriteFile(folder / "in/good.xlsx", "x");
    books.workbooks[QString::fromStdString(folder / "in/good.xlsx")].sheets = {
        {"S", 2, 2, QStringLiteral("v")},
        {"Hid", 2, 2, "v", true, 0},
        {"Fill", 2, 2, QVariant(), true, -1, 0, false}};
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "out");
    Convert()->click();
    ASSERT_TRUE(WaitUntil([this] { return Convert()->isEnabled(); }));

    const std::string report = folder / "data/Quillsheet/转换报告.txt";
    const std::string text = ReadFile(report);
    for (int i = 0; i < 7; ++i)
        EXPECT_NE(
            text.find((folder / ("in/bad" + std::to_string(i) + ".xlsx")) + ": 办公软件报告了错误"),
            std::string::npos)
            << text;
    EXPECT_NE(text.find("办公软件的原话：damaged"), std::string::npos) << text;
    EXPECT_NE(text.find("隐藏，未转换：Hid"), std::string::npos) << text;
    EXPECT_NE(text.find("没有可打印的内容，未转换：Fill"), std::string::npos) << text;
    EXPECT_NE(text.find("pdf：" + (folder / "out/good(S).pdf")), std::string::npos) << text;
    const QStringList lines = Find<QLabel>("lb_ShowDisposing")->toolTip().split('\n');
    EXPECT_EQ(lines.first(), QStringLiteral("成功将1个excel文件转换为1个pdf文件。"));
    EXPECT_EQ(lines.last(),
              QStringLiteral("完整的失败列表见（点击打开）：") + QString::fromStdString(report));

    Opened opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "Open");
    QLabel* label = Find<QLabel>("lb_ShowDisposing");
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &click);
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(report))});
}

// A report that cannot be written (a full disk) leaves the previous one as it was, and the
// label's last line says so and why, whether or not the summary named every failure.
TEST_F(LaunchTest, TheLabelSaysWhenTheReportCannotBeWritten)
{
    const std::string old(21000, 'r');
    FullFileSystem full({{"Quillsheet/转换报告.txt", old}});
    if (!full.Mounted())
        OPTIONAL_SKIP(full.Reason());
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(full.path().string()));
    const std::string report = full / "Quillsheet/转换报告.txt";
    for (const int failures : {1, 7}) {
        SCOPED_TRACE(failures);
        fs::remove_all(folder / "in");
        fs::create_directories(folder / "in");
        for (int i = 0; i < failures; ++i) {
            const std::string book = folder / ("in/bad" + std::to_string(i) + ".xlsx");
            WriteFile(book, "x");
            books.workbooks[QString::fromStdString(book)].opens = false;
        }
        Set("lEdt_SourcePath", folder / "in");
        Set("lEdt_SavePath", folder / "out");
        Convert()->click();
        ASSERT_TRUE(WaitUntil([this] { return Convert()->isEnabled(); }));
        const QStringList lines = Find<QLabel>("lb_ShowDisposing")->toolTip().split('\n');
        EXPECT_EQ(lines.first(), QStringLiteral("成功将0个excel文件转换为0个pdf文件。"));
        EXPECT_EQ(lines.last(), QStringLiteral("转换报告无法写出：") +
                                    QString::fromStdString(report) +
                                    QStringLiteral("：No space left on device"));
        EXPECT_EQ(ReadFile(report), old);
        EXPECT_EQ(full.Names(), (std::set<std::string>{"Quillsheet", "Quillsheet/转换报告.txt"}));
    }
}

// With the real office: closing the window during a run of several workbooks stops it after
// the workbook in work and leaves no office behind.
TEST_F(LaunchTest, QuittingDuringARunEndsItCleanly)
{
    UseTheOffice();
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

// With the real office: a run of many workbooks from the window works with as many offices as
// the command line would (two on two cores), and gives what the command line gives with one.
TEST_F(LaunchTest, TheWindowRunsOfficesAtOnceAndGivesTheRunOfOne)
{
    UseTheOffice();
    for (int i = 0; i < 4; ++i)
        fs::create_directories(folder / ("in/q" + std::to_string(i)));
    for (int i = 0; i < 20; ++i)
        WriteFile(folder / ("in/q" + std::to_string(i % 4) + "/book" + std::to_string(i) + ".xls"),
                  SpreadsheetMl({{"Data", MarkedRows("ROW", 300)}, {"Empty", ""}}));
    WriteFile(folder / "in/q1/empty.xlsx", "");
    WriteFile(folder / "in/q2/notes.xls", "not a workbook, only text\n");
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "out");
    QElapsedTimer clock;
    clock.start();
    Convert()->click();
    std::set<std::string> pipes;
    // The bar's values and the tray's tool tips as the run goes.
    std::vector<int> done;
    std::set<QString> tips;
    auto* bar = Find<QProgressBar>("progressBar_Run");
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::set<std::string> now = OfficePipesOfThisProcess();
            pipes.insert(now.begin(), now.end());
            if (done.empty() || done.back() != bar->value())
                done.push_back(bar->value());
            tips.insert(trayIcon->toolTip());
            return Convert()->isEnabled();
        },
        300000));
    const qint64 windowMs = clock.elapsed();
    const int offices = static_cast<int>(pipes.size());
    EXPECT_EQ(offices, WindowJobs());
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_GE(done.size(), 5u) << "the bar advances workbook by workbook";
    EXPECT_EQ(bar->value(), 22);
    EXPECT_EQ(bar->maximum(), 22);
    EXPECT_GE(tips.size(), 5u);
    EXPECT_TRUE(trayIcon->toolTip().startsWith(
        QStringLiteral("excel文件批量转pdf：22/22个excel文件，20个pdf，失败2个，已用")))
        << trayIcon->toolTip().toStdString();

    QProcess cli;
    clock.restart();
    cli.start(QStringLiteral(QUILLSHEET_CLI), {"--jobs", "1", QString::fromStdString(folder / "in"),
                                               QString::fromStdString(folder / "cli")});
    ASSERT_TRUE(cli.waitForFinished(300000));
    std::cout << "window with " << offices << " offices: " << windowMs
              << " ms; quillsheet-cli --jobs 1: " << clock.elapsed() << " ms\n";
    // The label holds the summary with its failures; the command line prints every failure
    // line after it, under its own line.
    const QStringList summary = Label().split('\n');
    ASSERT_EQ(summary.size(), 4) << Label().toStdString();
    EXPECT_EQ(summary[0], QStringLiteral("成功将20个excel文件转换为20个pdf文件。"));
    const QStringList printed = QString::fromUtf8(cli.readAllStandardOutput()).split('\n');
    const QStringList tail =
        printed.mid(printed.size() - 1 - summary.size() - 3, summary.size() + 3);
    EXPECT_EQ(tail.mid(0, summary.size()), summary);
    EXPECT_EQ(tail.value(summary.size()), QStringLiteral("全部失败："));
    EXPECT_EQ(tail.mid(summary.size() + 1), summary.mid(2));

    const std::set<std::string> pdfs = PdfsBelow(folder / "out");
    EXPECT_EQ(pdfs.size(), 20u);
    EXPECT_EQ(pdfs, PdfsBelow(folder / "cli"));
    for (const std::string& pdf : pdfs)
        EXPECT_EQ(PdfPages(folder / ("out/" + pdf)), PdfPages(folder / ("cli/" + pdf))) << pdf;
}

// Holds every office of this process as an office that does not answer would, until killed.
void HoldEveryOffice()
{
    for (const std::filesystem::path& office : OfficeProcessesOf(getpid()))
        kill(static_cast<pid_t>(std::stol(office.filename().string())), SIGSTOP);
}

// With its offices not answering, a run stopped by the stop button, or by closing the window,
// ends within 6 s: meanwhile the workbook in work says how long it has been waited for, every
// choice is locked and no click changes the settings; then the label ends with the stop line,
// the report names the workbooks not converted, and no office or file of one is left. Closing
// keeps the window up until the program ends.
TEST_F(LaunchTest, AStopOrACloseEndsARunWhoseOfficesDoNotAnswerWithinSixSeconds)
{
    UseTheOffice();
    // Enough for every office of the window's run to pay.
    for (int i = 0; i < 12; ++i)
        WriteFile(folder / ("in/book" + std::to_string(i) + ".xls"),
                  SpreadsheetMl({{"Data", MarkedRows("ROW", 400)}}));
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "out");
    const char* const choices[] = {"cBox_MergeSheets", "cBox_SaveToQuondamPath", "lEdt_SourcePath",
                                   "pBtn_SourcePath",  "lEdt_SavePath",          "pBtn_SavePath"};
    for (const bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "closing the window" : "the stop button");
        Convert()->click();
        ASSERT_TRUE(WaitUntil([] { return OfficesOfThisProcess() == WindowJobs(); }));
        ASSERT_TRUE(WaitUntil([this] { return Label().endsWith(".xls"); }));
        HoldEveryOffice();
        const std::string settings = ReadFile(StartupPaths.SettingsFile);
        for (const char* choice : choices)
            EXPECT_FALSE(Find<QWidget>(choice)->isEnabled()) << choice;
        Find<QCheckBox>("cBox_MergeSheets")->click();
        Find<QCheckBox>("cBox_SaveToQuondamPath")->click();
        EXPECT_EQ(ReadFile(StartupPaths.SettingsFile), settings);
        // Escape closes dialogs; pressed on the window, it never stops the run.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(Find<QWidget>("lEdt_SourcePath"), &escape);
        QApplication::sendEvent(window.get(), &escape);
        EXPECT_TRUE(Find<QPushButton>("pBtn_Stop")->isEnabled()) << "Escape stopped the run";
        EXPECT_TRUE(WaitUntil(
            [this] { return Find<QLabel>("lb_Progress")->toolTip().contains("已等待1"); }, 20000));

        QElapsedTimer stopping;
        stopping.start();
        if (closing) {
            EXPECT_EQ(RunEventLoop([this] {
                          window->close();
                          EXPECT_TRUE(window->isVisible());
                      }),
                      0);
        } else {
            Find<QPushButton>("pBtn_Stop")->click();
            EXPECT_TRUE(WaitUntil([this] { return Convert()->isEnabled(); }, 10000));
        }
        std::cout << (closing ? "close" : "stop") << " to the run's end: " << stopping.elapsed()
                  << " ms\n";
        EXPECT_LT(stopping.elapsed(), 6000);
        EXPECT_TRUE(Label().contains(QStringLiteral("个excel文件未转换。")))
            << Label().toStdString();
        const std::string report = ReadFile(folder / "data/Quillsheet/转换报告.txt");
        EXPECT_NE(report.find("未转换（运行已中止）"), std::string::npos) << report;
        EXPECT_EQ(report.find("办公软件"), std::string::npos) << "stopped, not failed: " << report;
        // The counts add up: what converted, and what was cut off or never begun; the bar and
        // the progress line end at what ended, with the time taken and nothing more.
        const QRegularExpressionMatch converted =
            QRegularExpression(QStringLiteral("^成功将(\\d+)个excel文件")).match(Label());
        const QRegularExpressionMatch notConverted =
            QRegularExpression(QStringLiteral("转换已中止：(\\d+)个excel文件未转换。"))
                .match(Label());
        ASSERT_TRUE(converted.hasMatch() && notConverted.hasMatch()) << Label().toStdString();
        const int ended = converted.captured(1).toInt();
        EXPECT_EQ(ended + notConverted.captured(1).toInt(), 12) << Label().toStdString();
        EXPECT_EQ(Find<QProgressBar>("progressBar_Run")->value(), ended);
        const QString line = Find<QLabel>("lb_Progress")->toolTip();
        EXPECT_TRUE(line.startsWith(QStringLiteral("%1/12个excel文件").arg(ended)))
            << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("约剩")) ||
                     line.contains(QStringLiteral("已等待")))
            << line.toStdString();
        EXPECT_EQ(OfficesOfThisProcess(), 0);
        EXPECT_TRUE(OfficeFilesOf(getpid()).empty());
        for (const char* choice : choices)
            EXPECT_EQ(Find<QWidget>(choice)->isEnabled(),
                      std::string(choice).find("SavePath") == std::string::npos ||
                          !Find<QCheckBox>("cBox_SaveToQuondamPath")->isChecked())
                << choice;
    }
}

// The window in the user's language, with the translations that start-up installs for it: under
// English its own texts and the run's summary; under Chinese, Qt's texts in its folder dialog and
// message boxes too.
TEST_F(LaunchTest, TheWindowSpeaksTheUsersLanguage)
{
    WriteFile(folder / "in/book.xlsx", "x");
    books.workbooks[QString::fromStdString(folder / "in/book.xlsx")].sheets = {
        {"S", 2, 2, QStringLiteral("v")}};
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(QUILLSHEET_QM)));
    QCoreApplication::installTranslator(&english);
    window = std::make_unique<MainWindow>(fake);
    EXPECT_EQ(window->windowTitle(), "Batch Excel to PDF 4.0");
    EXPECT_EQ(Convert()->text(), "&Convert");
    EXPECT_EQ(Find<QPushButton>("pBtn_Stop")->text(), "&Stop");
    EXPECT_EQ(Find<QPushButton>("pBtn_SourcePath")->text(), "Folder of the &Excel files:");
    EXPECT_TRUE(Find<QGroupBox>("groupBox_2")->title().startsWith("Needs LibreOffice Calc"));
    EXPECT_EQ(trayIcon->toolTip(), "Batch Excel to PDF");
    Set("lEdt_SourcePath", folder / "in");
    Set("lEdt_SavePath", folder / "out");
    Convert()->click();
    ASSERT_TRUE(WaitUntil([this] { return Convert()->isEnabled(); }));
    EXPECT_EQ(Label(), "Converted 1 excel file(s) to 1 pdf file(s).");
    // What the user wants next, offered once the run has ended, with the keyboard back on convert.
    EXPECT_FALSE(Find<QWidget>("widget_RunActions")->isHidden());
    EXPECT_EQ(Find<QPushButton>("pBtn_OpenFolder")->text(), "Open &folder");
    EXPECT_EQ(Find<QPushButton>("pBtn_OpenReport")->text(), "View &report");
    EXPECT_EQ(window->focusWidget(), Convert());
    QCoreApplication::removeTranslator(&english);

    QTranslator chinese;
    ASSERT_TRUE(chinese.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                             QStringLiteral("_"),
                             QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        << "scripts/install-deps.sh installs qttranslations5-l10n";
    QCoreApplication::installTranslator(&chinese);
    window = std::make_unique<MainWindow>(fake);
    QStringList buttons;
    QTimer::singleShot(0, [&buttons] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->isVisible())
                buttons << button->text();
        dialog->reject();
    });
    Find<QPushButton>("pBtn_SourcePath")->click();
    EXPECT_TRUE(buttons.contains(QStringLiteral("选择(&C)"))) << buttons.join(',').toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("取消"))) << buttons.join(',').toStdString();
    Set("lEdt_SourcePath", folder / "missing");
    QString ok;
    QTimer::singleShot(0, [&ok] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        ok = box->buttons().value(0) ? box->buttons().value(0)->text() : QString();
        box->accept();
    });
    Convert()->click();
    EXPECT_EQ(ok, QStringLiteral("确定"));
    QCoreApplication::removeTranslator(&chinese);
}

} // namespace

#include "launch_test.moc"
