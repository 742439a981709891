#include "app/mainwindow.h"

#include "app/desktopnotification.h"
#include "app/elidinglabel.h"
#include "app/folderdrop.h"
#include "app/narrowscreen.h"
#include "app/pickerstart.h"
#include "app/runprogressview.h"
#include "app/scrolledlabel.h"
#include "app/startuppaths.h"
#include "app/systemtray.h"
#include "app/windowplacement.h"
#include "convert/atomicfile.h"
#include "convert/folderpath.h"
#include "convert/mergeobject.h"
#include "convert/platformtexts.h"
#include "convert/runreport.h"
#include "convert/runsettings.h"
#include "convert/visibletext.h"
#include "convert/writablefolder.h"
#include "support/settingsfile.h"
#include "ui_mainwindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>
#include <QThread>
#include <QUrl>
#include <QWindow>

#include <algorithm>

namespace {

// How long a stopped run may take to finish its workbooks in work before their offices are
// ended: together with the ending, within the 6 s that a quitting program may take.
constexpr int ForceStopAfterMs = 5000;

bool IsYes(const std::string& value)
{
    return !value.empty() && value[0] == 'y';
}

void StoreSetting(const char* key, const QString& value)
{
    SetKeyValue(StartupPaths.SettingsFile, key, value.toLocal8Bit().toStdString());
}

} // namespace

MainWindow::MainWindow(SpreadsheetApplications& applications, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), applications(applications)
{
    ui->setupUi(this);
    ConnectTheForm();
    ui->groupBox_2->setTitle(OfficeNotice());
    // The form's fixed width of the pickers does not hold every language's text.
    for (QWidget* picker : {ui->pBtn_SourcePath, ui->pBtn_SavePath})
        KeepTextWhole(picker);
    ElideTitleToWidth(ui->groupBox_2);
    NarrowToContents(ui->groupBox_2);
    // The form's notice is shortened like every later text once the label has its width.
    ui->lb_ShowDisposing->SetWholeText(ui->lb_ShowDisposing->text());
    // However long the summary, every line of it, the report's last, can be seen.
    PutInScrollArea(ui->lb_ShowDisposing);

    const QRect screen = PrimaryScreenArea();
    screenWidth = screen.width();
    screenHeight = screen.height();
    // Then kept on the screen, whole where it fits and by its title bar where it cannot. A window
    // manager gives its frame only once the window is shown: until then its platform's margins
    // stand in, with at least a title bar above it.
    winId();
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    frame.setTop(std::max(frame.top(), style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    frame.setLeft(std::max(frame.left(), border));
    frame.setRight(std::max(frame.right(), border));
    frame.setBottom(std::max(frame.bottom(), border));
    // On a screen narrower than the rows with their check boxes, each check box gets a line of
    // its own below its row.
    if (minimumSizeHint().width() + frame.left() + frame.right() > screen.width()) {
        for (QWidget* checkBox : {ui->cBox_MergeSheets, ui->cBox_SaveToQuondamPath})
            PutOnALineBelowItsRow(checkBox);
        NarrowToContents(ui->groupBox_2);
    }
    const QRect kept =
        KeptInArea(screen, CentredAThirdDown(screen, size()), size(), minimumSizeHint(), frame);
    resize(kept.size());
    // The window exists already, so a move alone would place its inside and the window manager
    // would put the title bar above it: the frame's corner is asked for as well.
    move(kept.topLeft());
    if (QWindow* handle = windowHandle()) {
        handle->resize(kept.size());
        handle->setFramePosition(kept.topLeft());
    }
    initialHeight = height();
    initialWidth = width();

    setWindowTitle(tr("excel文件批量转pdf%1").arg(QStringLiteral("4.0")));
    setWindowIcon(QIcon(QStringLiteral(":/images/qlx.ico")));

    trayIcon = new SystemTray(this);
    connect(trayIcon, &SystemTray::showWidget, this, &MainWindow::ShowSoftWindow);
    connect(trayIcon, &SystemTray::quitRequested, this, &MainWindow::Quit);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::SystemTrayActivated);

    connect(trayIcon, &QSystemTrayIcon::messageClicked, this, &MainWindow::ShowSoftWindow);
#ifndef Q_OS_WIN
    notification = new DesktopNotification(QString(), this);
    connect(notification, &DesktopNotification::OpenFolderRequested, this,
            &MainWindow::OpenOutputFolder);
    connect(notification, &DesktopNotification::OpenReportRequested, this,
            &MainWindow::OpenRunReport);
    connect(notification, &DesktopNotification::ShowWindowRequested, this,
            &MainWindow::ShowSoftWindow);
    // Desktops without a notification service still have the tray's balloon.
    connect(notification, &DesktopNotification::Unanswered, trayIcon,
            [](const QString& title, const QString& summary) {
                trayIcon->showMessage(title, summary);
            });
#endif
    AddRunActions();
    DescribeControls();
    // The keyboard starts where the user starts, and Tab never stops on the one tab.
    ui->tabWidget->tabBar()->setFocusPolicy(Qt::NoFocus);
    ui->lEdt_SourcePath->setFocus();

    progress = new RunProgressView(ui->widget_Progress, ui->progressBar_Run, ui->lb_Progress, this);
    const QString trayTip = trayIcon->toolTip();
    connect(progress, &RunProgressView::Changed, this, [trayTip](const QString& text) {
        trayIcon->setToolTip(tr("%1：%2").arg(trayTip, text));
    });
    forceStop.setSingleShot(true);
    forceStop.setInterval(ForceStopAfterMs);
    connect(&forceStop, &QTimer::timeout, this, [this] {
        if (worker)
            worker->ForceStop();
    });

    // Enter in a field starts the run, as on the convert button (the default button).
    for (QLineEdit* field : {ui->lEdt_SourcePath, ui->lEdt_SavePath})
        connect(field, &QLineEdit::returnPressed, ui->pBtn_Transform, &QPushButton::click);
    const auto idle = [this] { return !Running(); };
    new FolderDropTarget(ui->lEdt_SourcePath, idle, [this](const QString& folder) {
        SetFolder(ui->lEdt_SourcePath, "SourcePath", folder);
    });
    new FolderDropTarget(ui->lEdt_SavePath, idle, [this](const QString& folder) {
        SetFolder(ui->lEdt_SavePath, "SavePath", folder);
    });
    new FolderDropTarget(this, idle, [this](const QString& folder) {
        SetFolder(ui->lEdt_SourcePath, "SourcePath", folder);
    });

    std::string settingsText;
    ReadWholeFile(settingsText, StartupPaths.SettingsFile);
    std::string value;
    GetKeyValue(value, settingsText, "SourcePath");
    if (!value.empty())
        ui->lEdt_SourcePath->setText(QString::fromLocal8Bit(value.c_str()));
    GetKeyValue(value, settingsText, "SavePath");
    if (!value.empty())
        ui->lEdt_SavePath->setText(QString::fromLocal8Bit(value.c_str()));
    GetKeyValue(value, settingsText, "SaveToQuondamPath");
    if (IsYes(value)) {
        ui->cBox_SaveToQuondamPath->setChecked(true);
        SetSavePathEnabled(false);
    }
    GetKeyValue(value, settingsText, "MergeSheets");
    if (IsYes(value))
        ui->cBox_MergeSheets->setChecked(true);

    // Without a tray to come back from, a hidden window would leave an invisible program.
    if (!IsAutorunLaunch() || !QSystemTrayIcon::isSystemTrayAvailable())
        show();
}

// A window destroyed during a run (the program ending by another way than Quit()) still stops
// the run as a quit does and waits for it, so that no office is left behind.
MainWindow::~MainWindow()
{
    if (worker)
        worker->RequestStop();
    EndPreviousRun();
    delete ui;
}

void MainWindow::ConnectTheForm()
{
    connect(ui->pBtn_SourcePath, &QPushButton::clicked, this,
            &MainWindow::on_pBtn_SourcePath_clicked);
    connect(ui->pBtn_SavePath, &QPushButton::clicked, this, &MainWindow::on_pBtn_SavePath_clicked);
    connect(ui->pBtn_Transform, &QPushButton::clicked, this,
            &MainWindow::on_pBtn_Transform_clicked);
    connect(ui->pBtn_Stop, &QPushButton::clicked, this, &MainWindow::on_pBtn_Stop_clicked);
    connect(ui->cBox_SaveToQuondamPath, &QCheckBox::clicked, this,
            &MainWindow::on_cBox_SaveToQuondamPath_clicked);
    connect(ui->cBox_MergeSheets, &QCheckBox::clicked, this,
            &MainWindow::on_cBox_MergeSheets_clicked);
    connect(ui->lb_ShowDisposing, &ElidingLabel::clicked, this,
            &MainWindow::on_lb_ShowDisposing_clicked);
}

bool MainWindow::Running() const
{
    return worker && !ui->pBtn_Transform->isEnabled();
}

void MainWindow::EndPreviousRun()
{
    if (!workerThread)
        return;
    workerThread->quit();
    if (!workerThread->wait(ForceStopAfterMs)) {
        worker->ForceStop();
        workerThread->wait();
    }
    delete worker;
    delete workerThread;
    worker = nullptr;
    workerThread = nullptr;
}

void MainWindow::ShowSoftWindow()
{
    showNormal();
    resize(initialWidth, initialHeight);
    raise();
    activateWindow();
}

void MainWindow::SystemTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        ShowSoftWindow();
}

void MainWindow::Quit()
{
    if (!Running()) {
        QCoreApplication::quit();
        return;
    }
    // Up until the program ends, saying that it stops: a program that goes on hidden looks dead.
    if (!isVisible())
        ShowSoftWindow();
    quitWhenStopped = true;
    StopRun();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!Running()) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    Quit();
}

void MainWindow::ChooseFolder(QLineEdit* field, const char* key)
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("选择文件夹"), PickerStartFolder(field->text()),
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!folder.isEmpty())
        SetFolder(field, key, folder);
}

void MainWindow::SetFolder(QLineEdit* field, const char* key, const QString& chosen)
{
    // One trailing separator, also for a root that the dialog already gives with one.
    QString folder = QDir::toNativeSeparators(chosen);
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    field->setText(folder);
    StoreSetting(key, folder);
}

void MainWindow::on_ShowDisposingFile(QString filePath)
{
    ui->lb_ShowDisposing->SetWholeText(filePath);
}

void MainWindow::on_pBtn_Transform_clicked()
{
    SourcePath = QDir::toNativeSeparators(ui->lEdt_SourcePath->text());
    SavePath = QDir::toNativeSeparators(ui->lEdt_SavePath->text());
    StoreSetting("SourcePath", SourcePath);
    StoreSetting("SavePath", SavePath);
    if (!QFileInfo(SourcePath).isDir()) {
        QMessageBox::about(this, QStringLiteral("Message:"), tr("提取文件夹不存在!"));
        return;
    }
    SaveToQuondamPath = ui->cBox_SaveToQuondamPath->isChecked();
    if (!QFileInfo(SavePath).isDir() && !SaveToQuondamPath) {
        QMessageBox::about(this, QStringLiteral("Message:"), tr("保存文件夹不存在!"));
        return;
    }
    // Refused now, as a missing folder is, rather than found out workbook by workbook.
    QString reason;
    if (!SaveToQuondamPath && !FolderWritable(SavePath, reason)) {
        QMessageBox::about(this, QStringLiteral("Message:"),
                           UnwritableOutputFolderLine(SavePath, reason));
        return;
    }
    if (const QString problem = applications.TemporaryFolderProblem(); !problem.isEmpty()) {
        QMessageBox::about(this, QStringLiteral("Message:"), problem);
        return;
    }
    ui->lb_ShowDisposing->SetWholeText(QString());
    ui->pBtn_Transform->setEnabled(false);
    ui->pBtn_Stop->setEnabled(true);
    SetChoicesEnabled(false);
    MergeSheets = ui->cBox_MergeSheets->isChecked();

    EndPreviousRun();
    workerThread = new QThread();
    workerThread->start(QThread::InheritPriority);
    RunOptions options;
    options.jobs = WindowJobs();
    worker = new MergeObject(applications, options);
    worker->moveToThread(workerThread);
    // The hooks are called in the run's thread; the view lives in this one.
    MergeObject* run = worker;
    worker->SetWorkbookBegunHook([this, run](const QString& path) {
        const int total = run->ToConvert();
        const double work = run->WorkToConvert();
        QMetaObject::invokeMethod(
            this,
            [this, path, total, work] {
                progress->WorkbookBegun(path, total, work);
                ShowLongestInWork();
            },
            Qt::QueuedConnection);
    });
    worker->SetWorkbookDoneHook([this, run](const WorkbookRecord& workbook) {
        const int total = run->ToConvert();
        const double work = run->WorkToConvert();
        QMetaObject::invokeMethod(
            this,
            [this, workbook, total, work] {
                progress->WorkbookDone(workbook, total, work);
                ShowLongestInWork();
            },
            Qt::QueuedConnection);
    });
    progress->Begin();
    connect(worker, &MergeObject::ShowDisposingFile, this, &MainWindow::on_ShowDisposingFile);
    connect(this, &MainWindow::pBtn_Transform_HasClicked, worker, &MergeObject::Transform);
    connect(worker, &MergeObject::Signal_SetButtonEnable, this, &MainWindow::RunEnded);
    emit pBtn_Transform_HasClicked();
}

// With several applications the last workbook begun may not be the one still in work: the red
// line names the one longest in work, unless the run is stopping and says so.
void MainWindow::ShowLongestInWork()
{
    const QString longest = progress->LongestInWork();
    if (!longest.isEmpty() && ui->pBtn_Stop->isEnabled())
        ui->lb_ShowDisposing->SetWholeText(VisibleText(longest));
}

void MainWindow::on_pBtn_Stop_clicked()
{
    StopRun();
}

void MainWindow::StopRun()
{
    if (!Running() || forceStop.isActive())
        return;
    worker->RequestStop();
    ui->pBtn_Stop->setEnabled(false);
    ui->lb_ShowDisposing->SetWholeText(
        tr("正在停止：正在转换的工作簿完成后结束，最多等待%1秒……").arg(ForceStopAfterMs / 1000));
    forceStop.start();
}

// The end of a run: the button and the choices come back, the run's full report is written, a
// user who is not looking is told, and a quit waiting for the run goes on.
void MainWindow::RunEnded()
{
    forceStop.stop();
    progress->End();
    ui->pBtn_Transform->setEnabled(true);
    ui->pBtn_Stop->setEnabled(false);
    SetChoicesEnabled(true);
    WriteRunReport();
    if (worker) {
        openFolderButton->parentWidget()->show();
        openReportButton->setEnabled(!runReport.isEmpty());
        NoticeTheEnd(ui->lb_ShowDisposing->toolTip());
    }
    // The keyboard's place after a run: ready for the next.
    ui->pBtn_Transform->setFocus();
    if (quitWhenStopped)
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

// The whole record of the run, every failure and every workbook not reached included, replacing
// the previous run's. When the offices ran outside their sandbox, the line after the label's
// summary says so and why; when the run was stopped, a line says so; when the summary could not
// name every failure, the last line says where they all are, which a click opens; when the report
// could not be written, the last line says so and why.
void MainWindow::WriteRunReport()
{
    runReport.clear();
    if (!worker)
        return;
    const RunRecord& record = worker->Record();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString path = folder + QStringLiteral("/转换报告.txt");
    QString error = tr("没有用户的数据文件夹");
    const bool written = !folder.isEmpty() && MakeFolderPath(folder, error) &&
                         WriteFileAtomically(path, TextReport(record).toUtf8(), error);
    if (written)
        runReport = path;
    QStringList lines;
#ifndef Q_OS_WIN
    // Excel is the desktop's own application: only a private office outside its sandbox is news.
    if (!record.sandboxed)
        lines << UnsandboxedLine(record.unsandboxedBecause);
#endif
    if (record.stopped)
        lines << StoppedLine(record.NotConverted());
    if (!written)
        lines << tr("转换报告无法写出：%1：%2").arg(QDir::toNativeSeparators(path), error);
    else if (record.FailureLines().size() > SummaryNamedFailures)
        lines << tr("完整的失败列表见（点击打开）：") + QDir::toNativeSeparators(path);
    if (!lines.isEmpty())
        ui->lb_ShowDisposing->SetWholeText(record.Summary() + '\n' + lines.join('\n'));
}

void MainWindow::NoticeTheEnd(const QString& summary)
{
    if (isVisible() && !isMinimized())
        return;
#ifdef Q_OS_WIN
    trayIcon->showMessage(windowTitle(), summary);
#else
    notification->Show(windowTitle(), summary);
#endif
    QApplication::alert(this);
}

// Names and purposes for screen readers, which the pickers' and check boxes' texts do not give
// whole, and which the fields and the progress bar do not have at all.
void MainWindow::DescribeControls()
{
    const struct
    {
        QWidget* control;
        QString name;
        QString description;
    } controls[] = {
        {ui->lEdt_SourcePath, tr("Excel文件所在文件夹"), tr("要转换的工作簿所在的文件夹")},
        {ui->pBtn_SourcePath, tr("选择Excel文件所在文件夹"), tr("打开选择文件夹的对话框")},
        {ui->cBox_MergeSheets, tr("1个excel文件对应1个pdf"),
         tr("选中时每个工作簿生成一个pdf文件，否则每个工作表生成一个")},
        {ui->lEdt_SavePath, tr("转换后保存到该文件夹"), tr("pdf文件保存到的文件夹")},
        {ui->pBtn_SavePath, tr("选择保存文件夹"), tr("打开选择文件夹的对话框")},
        {ui->cBox_SaveToQuondamPath, tr("转换后保存在原文件夹路径"),
         tr("选中时每个pdf文件保存在其工作簿所在的文件夹")},
        {ui->pBtn_Transform, tr("转换"), tr("开始转换文件夹中的工作簿")},
        {ui->pBtn_Stop, tr("停止"), tr("正在转换的工作簿完成后停止转换")},
        {ui->progressBar_Run, tr("转换进度"), tr("已完成的工作簿数和工作簿总数")},
    };
    for (const auto& c : controls) {
        c.control->setAccessibleName(c.name);
        c.control->setAccessibleDescription(c.description);
    }
}

// What the user wants next after a run, beside its summary: hidden until a run has ended.
void MainWindow::AddRunActions()
{
    auto* row = new QWidget(ui->groupBox_2);
    row->setObjectName(QStringLiteral("widget_RunActions"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    openFolderButton = new QPushButton(tr("打开文件夹(&O)"), row);
    openFolderButton->setObjectName(QStringLiteral("pBtn_OpenFolder"));
    openFolderButton->setAccessibleName(tr("打开文件夹"));
    openFolderButton->setAccessibleDescription(tr("打开这次转换的pdf文件所在的文件夹"));
    openReportButton = new QPushButton(tr("查看报告(&R)"), row);
    openReportButton->setObjectName(QStringLiteral("pBtn_OpenReport"));
    openReportButton->setAccessibleName(tr("查看报告"));
    openReportButton->setAccessibleDescription(tr("打开这次转换的完整报告"));
    layout->addWidget(openFolderButton);
    layout->addWidget(openReportButton);
    layout->addStretch();
    connect(openFolderButton, &QPushButton::clicked, this, &MainWindow::OpenOutputFolder);
    connect(openReportButton, &QPushButton::clicked, this, &MainWindow::OpenRunReport);
    ui->groupBox_2->layout()->addWidget(row);
    row->hide();
}

// The folder the run wrote to: the source folder when its PDFs went beside their workbooks.
void MainWindow::OpenOutputFolder()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(SaveToQuondamPath ? SourcePath : SavePath));
}

void MainWindow::OpenRunReport()
{
    if (!runReport.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(runReport));
}

void MainWindow::on_lb_ShowDisposing_clicked()
{
    if (ui->pBtn_Transform->isEnabled())
        OpenRunReport();
}

void MainWindow::on_pBtn_SourcePath_clicked()
{
    ChooseFolder(ui->lEdt_SourcePath, "SourcePath");
}

void MainWindow::on_pBtn_SavePath_clicked()
{
    ChooseFolder(ui->lEdt_SavePath, "SavePath");
}

void MainWindow::on_cBox_SaveToQuondamPath_clicked()
{
    const bool checked = ui->cBox_SaveToQuondamPath->isChecked();
    StoreSetting("SaveToQuondamPath", checked ? QStringLiteral("y") : QStringLiteral("n"));
    SetSavePathEnabled(!checked);
}

void MainWindow::on_cBox_MergeSheets_clicked()
{
    StoreSetting("MergeSheets",
                 ui->cBox_MergeSheets->isChecked() ? QStringLiteral("y") : QStringLiteral("n"));
}

void MainWindow::SetSavePathEnabled(bool enabled)
{
    ui->pBtn_SavePath->setEnabled(enabled);
    ui->lEdt_SavePath->setEnabled(enabled);
}

void MainWindow::SetChoicesEnabled(bool enabled)
{
    for (QWidget* choice :
         std::initializer_list<QWidget*>{ui->cBox_MergeSheets, ui->cBox_SaveToQuondamPath,
                                         ui->lEdt_SourcePath, ui->pBtn_SourcePath})
        choice->setEnabled(enabled);
    SetSavePathEnabled(enabled && !ui->cBox_SaveToQuondamPath->isChecked());
}
