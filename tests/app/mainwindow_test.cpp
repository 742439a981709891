#include "app/elidinglabel.h"
#include "app/mainwindow.h"
#include "app/startuppaths.h"
#include "app/systemtray.h"
#include "app/windowplacement.h"
#include "convert/platformtexts.h"
#include "support/settingsfile.h"

#include "common/qteventloop.h"
#include "common/qtprint.h"
#include "common/tempfolder.h"
#include "windowtest.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace fs = std::filesystem;

namespace {

class MainWindowTest : public WindowTest
{
protected:
    std::unique_ptr<MainWindow> Open(const std::string& settings)
    {
        WriteFile(StartupPaths.SettingsFile, settings);
        return std::make_unique<MainWindow>(applications);
    }
};

// What the user reads on the window: its title, its one tab, the notice and every control's text,
// none of them cut short where a language needs more room than the form gives.
TEST_F(MainWindowTest, TheWindowShowsItsTitleNoticeAndControlsWhole)
{
    auto window = Open("");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("excel文件批量转pdf4.0"));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(Find<QTabWidget>(window.get(), "tabWidget")->tabText(0), QStringLiteral("软件设置"));
    EXPECT_EQ(
        Find<QGroupBox>(window.get(), "groupBox_2")->title(),
        QStringLiteral("需电脑中装有LibreOffice Calc办公软件(转换效果可能与微软office有差异)"));
    EXPECT_EQ(NoOfficeMessage(), QStringLiteral("本功能需要电脑中装有LibreOffice Calc!"));
    const std::pair<const char*, QString> buttons[] = {
        {"pBtn_SourcePath", QStringLiteral("Excel文件所在文件夹(&S)：")},
        {"cBox_MergeSheets",
         QStringLiteral("1个excel文件对应1个pdf(默认是1个sheet对应1个pdf)(&M)")},
        {"pBtn_SavePath", QStringLiteral("转换后保存到该文件夹(&D)：")},
        {"cBox_SaveToQuondamPath", QStringLiteral("转换后保存在原文件夹路径(&B)")},
        {"pBtn_Transform", QStringLiteral("转换(&C)")},
    };
    window->layout()->activate();
    for (const auto& [name, text] : buttons) {
        auto* button = Find<QAbstractButton>(window.get(), name);
        ASSERT_TRUE(button);
        EXPECT_EQ(button->text(), text) << name;
        EXPECT_GE(button->width(), button->sizeHint().width()) << name;
    }
}

TEST_F(MainWindowTest, RestoresTheFourChoices)
{
    struct Case
    {
        std::string settings;
        const char* source;
        const char* save;
        bool beside;
        bool merge;
    };
    const Case cases[] = {
        {"", "", "", false, false},
        {"SourcePath=/data/in/\r\nSavePath=/data/out\r\nSaveToQuondamPath=y\r\nMergeSheets=y\r\n",
         "/data/in/", "/data/out", true, true},
        {"SaveToQuondamPath=yes\r\nMergeSheets=Y\r\n", "", "", true, false},
        {"SaveToQuondamPath=true\r\nMergeSheets=\r\n", "", "", false, false},
        {"SourcePath=\r\nSavePath=  /数据/报表 \r\n", "", "/数据/报表", false, false},
    };
    for (const Case& c : cases) {
        auto window = Open(c.settings);
        EXPECT_EQ(Find<QLineEdit>(window.get(), "lEdt_SourcePath")->text(),
                  QString::fromUtf8(c.source));
        EXPECT_EQ(Find<QLineEdit>(window.get(), "lEdt_SavePath")->text(),
                  QString::fromUtf8(c.save));
        EXPECT_EQ(Find<QCheckBox>(window.get(), "cBox_SaveToQuondamPath")->isChecked(), c.beside);
        EXPECT_EQ(Find<QCheckBox>(window.get(), "cBox_MergeSheets")->isChecked(), c.merge);
        EXPECT_EQ(Find<QPushButton>(window.get(), "pBtn_SavePath")->isEnabled(), !c.beside);
        EXPECT_EQ(Find<QLineEdit>(window.get(), "lEdt_SavePath")->isEnabled(), !c.beside);
        EXPECT_EQ(ReadFile(StartupPaths.SettingsFile), c.settings) << "construction wrote";
    }
}

TEST_F(MainWindowTest, AMissingSettingsFileGivesDefaultsAndStaysMissing)
{
    auto window = std::make_unique<MainWindow>(applications);
    EXPECT_TRUE(Find<QLineEdit>(window.get(), "lEdt_SourcePath")->text().isEmpty());
    Find<QCheckBox>(window.get(), "cBox_MergeSheets")->click();
    EXPECT_FALSE(fs::exists(StartupPaths.SettingsFile));
}

TEST_F(MainWindowTest, EachClickStoresExactlyItsKey)
{
    const std::string before = "SourcePath=/in/\r\nOther=1\r\nMergeSheets=n\r\n";
    auto window = Open(before);
    auto* merge = Find<QCheckBox>(window.get(), "cBox_MergeSheets");
    auto* beside = Find<QCheckBox>(window.get(), "cBox_SaveToQuondamPath");
    auto* saveButton = Find<QPushButton>(window.get(), "pBtn_SavePath");
    auto* saveField = Find<QLineEdit>(window.get(), "lEdt_SavePath");

    merge->click();
    EXPECT_EQ(ReadFile(StartupPaths.SettingsFile),
              "SourcePath=/in/\r\nOther=1\r\nMergeSheets=y\r\n");
    merge->click();
    EXPECT_EQ(ReadFile(StartupPaths.SettingsFile), before);

    saveField->setText("/kept/");
    beside->click();
    EXPECT_EQ(ReadFile(StartupPaths.SettingsFile), before + "SaveToQuondamPath=y\r\n");
    EXPECT_FALSE(saveButton->isEnabled());
    EXPECT_FALSE(saveField->isEnabled());
    beside->click();
    EXPECT_EQ(ReadFile(StartupPaths.SettingsFile), before + "SaveToQuondamPath=n\r\n");
    EXPECT_TRUE(saveButton->isEnabled());
    EXPECT_TRUE(saveField->isEnabled());
    EXPECT_EQ(saveField->text(), "/kept/");

    saveField->setText("/typed/"); // typing stores nothing
    Find<QLineEdit>(window.get(), "lEdt_SourcePath")->setText("/typed/");
    EXPECT_EQ(ReadFile(StartupPaths.SettingsFile), before + "SaveToQuondamPath=n\r\n");
}

// Answers the folder dialog that the next click opens, once it is up.
void AnswerFolderDialog(const std::function<void(QFileDialog*)>& answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        answer(dialog);
    });
}

TEST_F(MainWindowTest, FolderPickersStoreTheNativeFormWithOneTrailingSeparator)
{
    fs::create_directories(folder / "data/xls");
    fs::create_directories(folder / "data/pdf");
    auto window = Open("SourcePath=old\r\n");
    struct Picker
    {
        const char* button;
        const char* field;
        const char* key;
        std::string chosen;
        fs::path opensAt; // the field's folder, or its nearest existing parent; home when empty
    };
    const Picker pickers[] = {
        {"pBtn_SourcePath", "lEdt_SourcePath", "SourcePath", folder / "data/xls",
         fs::current_path()},
        {"pBtn_SavePath", "lEdt_SavePath", "SavePath", folder / "data/pdf",
         QDir::homePath().toStdString()},
    };
    for (const Picker& p : pickers) {
        AnswerFolderDialog([&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("选择文件夹"));
            EXPECT_EQ(fs::path(dialog->directory().absolutePath().toStdString()), p.opensAt);
            EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
            EXPECT_TRUE(dialog->testOption(QFileDialog::DontResolveSymlinks));
            dialog->setDirectory(QString::fromStdString(p.chosen));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        Find<QPushButton>(window.get(), p.button)->click();
        const std::string expected = p.chosen + "/";
        EXPECT_EQ(Find<QLineEdit>(window.get(), p.field)->text().toStdString(), expected);
        std::string stored;
        ReadWholeFile(stored, StartupPaths.SettingsFile);
        EXPECT_NE(stored.find(std::string(p.key) + "=" + expected + "\r\n"), std::string::npos)
            << stored;
    }
    std::string text;
    ReadWholeFile(text, StartupPaths.SettingsFile);
    EXPECT_EQ(text.find("old"), std::string::npos); // replaced in place, not appended
}

// Drops one event of a drag with these URLs on a widget; true when it was accepted.
bool Drop(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

// A folder dropped on a field, or on the window for the source, becomes that folder as a picker
// would give it and is stored as a picker stores it; a dropped file names its folder; a web
// address or a missing path is refused and leaks nothing into the text.
TEST_F(MainWindowTest, DroppedFoldersAreTakenAsAPickerGivesThem)
{
    fs::create_directories(folder / "data/xls");
    WriteFile(folder / "data/xls/book.xlsx", "x");
    auto window = Open("");
    const QUrl web(QStringLiteral("https://example.com/book.xlsx"));
    const QUrl missing = QUrl::fromLocalFile(QString::fromStdString(folder / "missing"));
    const QUrl xls = QUrl::fromLocalFile(QString::fromStdString(folder / "data/xls"));
    const QUrl book = QUrl::fromLocalFile(QString::fromStdString(folder / "data/xls/book.xlsx"));
    struct Case
    {
        const char* target; // "": the window
        QList<QUrl> urls;
        const char* field;
        std::string expected; // "": refused
    };
    const Case cases[] = {
        {"lEdt_SourcePath", {xls}, "lEdt_SourcePath", folder / "data/xls/"},
        {"lEdt_SavePath", {book}, "lEdt_SavePath", folder / "data/xls/"},
        {"", {web, xls}, "lEdt_SourcePath", folder / "data/xls/"},
        {"lEdt_SourcePath", {web}, "lEdt_SourcePath", ""},
        {"lEdt_SavePath", {missing}, "lEdt_SavePath", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " " + c.urls.first().toString().toStdString());
        auto* field = Find<QLineEdit>(window.get(), c.field);
        field->setText(QStringLiteral("before"));
        QWidget* target = *c.target ? Find<QWidget>(window.get(), c.target) : window.get();
        EXPECT_EQ(Drop(target, c.urls), !c.expected.empty());
        EXPECT_EQ(field->text().toStdString(), c.expected.empty() ? "before" : c.expected);
        if (!c.expected.empty()) {
            EXPECT_NE(ReadFile(StartupPaths.SettingsFile)
                          .find(std::string(c.field).substr(5) + "=" + c.expected + "\r\n"),
                      std::string::npos);
        }
    }
}

TEST_F(MainWindowTest, ACancelledPickerChangesNothing)
{
    const std::string settings = "SourcePath=/in/\r\n";
    auto window = Open(settings);
    AnswerFolderDialog([](QFileDialog* dialog) { dialog->reject(); });
    Find<QPushButton>(window.get(), "pBtn_SourcePath")->click();
    EXPECT_EQ(Find<QLineEdit>(window.get(), "lEdt_SourcePath")->text(), "/in/");
    EXPECT_EQ(ReadFile(StartupPaths.SettingsFile), settings);
}

// Centred and a third down, then kept on the screen: whole where it fits, by its title bar's
// start where it cannot.
TEST_F(MainWindowTest, PlacedCentredAndAThirdDownAndKeptOnTheScreen)
{
    auto window = Open("");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint formula = CentredAThirdDown(screen, QSize(940, 420));
    EXPECT_EQ(window->pos(), QPoint(std::max(screen.x(), formula.x()), formula.y()));
    EXPECT_TRUE(screen.contains(window->frameGeometry()));
    EXPECT_TRUE(window->isVisible());

    struct Case
    {
        QRect area;
        QPoint expected;
    };
    const Case cases[] = {
        {{0, 0, 1920, 1080}, {490, 220}},
        {{0, 0, 800, 600}, {-70, 60}},
        {{0, 0, 1024, 400}, {42, -6}},
        {{1920, 0, 1920, 1040}, {2410, 206}},    // primary monitor right of another
        {{-1280, 300, 1280, 984}, {-1110, 488}}, // left of and below the origin
        {{0, 32, 1366, 736}, {213, 137}},        // a panel along the top
    };
    for (const Case& c : cases)
        EXPECT_EQ(CentredAThirdDown(c.area, QSize(940, 420)), c.expected) << c.area.x();

    struct Kept
    {
        QRect area;
        QPoint formula;
        QSize minimum;
        QRect kept; // the frame's corner and the window's size
    };
    const QMargins titleBar(0, 20, 0, 0);
    const Kept kept[] = {
        {{0, 0, 1920, 1080}, {490, 220}, {600, 200}, {490, 220, 940, 420}}, // fits: unchanged
        {{0, 0, 800, 600}, {-70, 60}, {600, 200}, {0, 60, 800, 420}},       // narrowed
        {{0, 0, 1024, 400}, {42, -6}, {600, 200}, {42, 0, 940, 380}},       // lowered, shortened
        {{-1280, 300, 1280, 984}, {-1110, 488}, {600, 200}, {-1110, 488, 940, 420}},
        // QT_SCALE_FACTOR=2 on 1366 × 768 with a panel of 32 pixels: the whole window stays in.
        {{0, 16, 683, 368}, {-128, 0}, {600, 200}, {0, 16, 683, 348}},
        // Larger than the area even at its minimum: its title bar starts inside.
        {{0, 0, 500, 180}, {-70, -80}, {600, 200}, {0, 0, 600, 200}},
    };
    for (const Kept& k : kept)
        EXPECT_EQ(KeptInArea(k.area, k.formula, QSize(940, 420), k.minimum, titleBar), k.kept)
            << k.area.width() << "x" << k.area.height();
}

TEST_F(MainWindowTest, AutorunLeavesOnlyTheTrayIcon)
{
    StartupPaths.LaunchArg = "-autorun";
    auto window = Open("");
    // Where no tray could bring it back (this platform has none), the window shows; the start-up
    // tests see it hidden on a display with a tray.
    EXPECT_EQ(window->isVisible(), !QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_TRUE(trayIcon->isVisible());
    EXPECT_EQ(trayIcon->toolTip(), QStringLiteral("excel文件批量转pdf"));
}

TEST_F(MainWindowTest, ShowSoftWindowRestoresTheInitialSize)
{
    auto window = Open("");
    const QSize initial = window->size();
    window->resize(500, 300);
    window->ShowSoftWindow();
    EXPECT_EQ(window->size(), initial);

    window->showMaximized();
    window->ShowSoftWindow();
    EXPECT_FALSE(window->isMaximized());
    EXPECT_EQ(window->size(), initial);

    window->hide();
    window->ShowSoftWindow();
    EXPECT_TRUE(window->isVisible());
}

// What the run shows in the progress label, as the window does with its worker's texts.
void ShowDisposing(MainWindow* window, const QString& text)
{
    window->findChild<ElidingLabel*>(QStringLiteral("lb_ShowDisposing"))->SetWholeText(text);
    QApplication::processEvents();
}

// A path of length characters whose file name is fileName.
QString LongPath(const QString& fileName, int length = 300)
{
    const QString folder = QStringLiteral("/srv/报表/2023/");
    return folder + QString(length - folder.size() - fileName.size() - 1, QLatin1Char('d')) + "/" +
           fileName;
}

TEST_F(MainWindowTest, LongTextsNeverWidenTheWindowAndShowPlainly)
{
    QStringList summary = {QStringLiteral("成功将20个excel文件转换为8个pdf文件。"),
                           QStringLiteral("失败12个：")};
    for (int i = 0; i < 9; ++i)
        summary << LongPath(QStringLiteral("book%1.xlsx(Sheet1): 无法打开").arg(i));
    summary << QStringLiteral("另有7个失败未列出。");
    struct Case
    {
        QString text;
        QString visibleEnd; // the end of the last line, which eliding keeps
    };
    const Case cases[] = {
        {LongPath(QStringLiteral("q1-sales.xlsx")), QStringLiteral("q1-sales.xlsx")},
        {summary.join('\n'), QStringLiteral("另有7个失败未列出。")},
        {QStringLiteral("<h1>x</h1>.xlsx"), QStringLiteral("<h1>x</h1>.xlsx")},
    };
    auto window = Open("");
    auto* label = Find<QLabel>(window.get(), "lb_ShowDisposing");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse);
    const QSize labelMinimum = label->minimumSizeHint();
    const QSize initial = window->size();
    for (const Case& c : cases) {
        ShowDisposing(window.get(), c.text);
        window->layout()->activate();
        EXPECT_LE(window->minimumSizeHint().width(), initial.width())
            << qPrintable(c.text.left(40));
        EXPECT_LE(window->minimumSize().width(), initial.width()) << qPrintable(c.text.left(40));
        EXPECT_EQ(window->width(), initial.width()) << qPrintable(c.text.left(40));
        EXPECT_EQ(label->minimumSizeHint(), labelMinimum) << qPrintable(c.text.left(40));
        EXPECT_EQ(label->toolTip(), c.text);
        EXPECT_TRUE(label->text().endsWith(c.visibleEnd)) << qPrintable(label->text().left(80));
        const QStringList shown = label->text().split('\n');
        EXPECT_EQ(shown.size(), c.text.count('\n') + 1) << qPrintable(label->text().left(80));
        for (const QString& line : shown)
            EXPECT_LE(label->fontMetrics().horizontalAdvance(line), label->contentsRect().width())
                << qPrintable(line);

        window->resize(500, 300);
        window->ShowSoftWindow();
        EXPECT_EQ(window->size(), initial) << qPrintable(c.text.left(40));
    }
    EXPECT_EQ(label->text(), cases[2].text) << "a name that fits is shown whole and literally";
}

// However many lines the summary has, each can be seen, and its last, which leads to the report,
// is in view without scrolling; the window does not grow for it.
TEST_F(MainWindowTest, ALongSummaryIsWholeWithItsLastLineInView)
{
    auto window = Open("");
    window->ShowSoftWindow();
    const QSize initial = window->size();
    auto* label = Find<QLabel>(window.get(), "lb_ShowDisposing");
    auto* area = Find<QScrollArea>(window.get(), "lb_ShowDisposing_Area");
    for (const int count : {1, 10, 40}) {
        // After a run its actions stand above the summary, which then has less room.
        Find<QWidget>(window.get(), "widget_RunActions")->setVisible(count > 1);
        QStringList lines;
        for (int i = 1; i < count; ++i)
            lines << QStringLiteral("/srv/报表/%1月预算.xlsx: 无法打开").arg(i);
        lines << QStringLiteral("完整的失败列表见（点击打开）：/home/u/转换报告.txt");
        ShowDisposing(window.get(), lines.join('\n'));
        QApplication::processEvents();
        EXPECT_EQ(window->size(), initial) << count;
        // As drawn: Chinese takes a fallback font taller than the label's own.
        const QRect drawn = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                              Qt::AlignLeft, label->text());
        EXPECT_GE(label->contentsRect().height(), drawn.height()) << count;
        const int lastLineBottom = label->mapTo(area->viewport(), QPoint(0, label->height())).y();
        EXPECT_LE(lastLineBottom, area->viewport()->height()) << count;
        EXPECT_GT(lastLineBottom, label->fontMetrics().height()) << count;
        EXPECT_LE(area->mapTo(window.get(), QPoint(0, area->height())).y(),
                  window->centralWidget()->geometry().bottom())
            << count;
        EXPECT_TRUE(label->text().endsWith(lines.last())) << count;
    }
}

TEST_F(MainWindowTest, ElidedLinesFollowTheLabelsWidth)
{
    auto window = Open("");
    auto* label = Find<QLabel>(window.get(), "lb_ShowDisposing");
    const QString path = LongPath(QStringLiteral("q1-sales.xlsx"), 150);
    ShowDisposing(window.get(), path);
    const QString narrow = label->text();
    window->resize(1800, 420);
    QApplication::processEvents();
    EXPECT_GT(label->text().size(), narrow.size());
    window->resize(2600, 420);
    QApplication::processEvents();
    EXPECT_EQ(label->text(), path);
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgram)
{
    auto window = Open("");
    EXPECT_EQ(RunEventLoop([&] { window->close(); }), 0);
}

} // namespace
