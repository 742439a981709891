#include "app/mainwindow.h"

#include "app/startuppaths.h"
#include "app/systemtray.h"
#include "app/windowplacement.h"
#ifndef Q_OS_WIN
#include "automation/temporaryfolder.h"
#endif
#include "convert/mergeobject.h"
#include "convert/platformtexts.h"
#include "convert/runreport.h"
#include "convert/runsettings.h"
#include "support/settingsfile.h"
#include "ui_mainwindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

namespace {

bool IsYes(const std::string& value)
{
    return !value.empty() && value[0] == 'y';
}

void StoreSetting(const char* key, const QString& value)
{
    SetKeyValue(StartupPaths.SettingsFile, key, value.toLocal8Bit().toStdString());
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    ui->groupBox_2->setTitle(OfficeNotice());
    // The form's notice is shortened like every later text once the label has its width.
    ui->lb_ShowDisposing->SetWholeText(ui->lb_ShowDisposing->text());

    const QRect screen = PrimaryScreenArea();
    screenWidth = screen.width();
    screenHeight = screen.height();
    initialHeight = height();
    initialWidth = width();
    move(CentredAThirdDown(screen, size()));

    setWindowTitle(QStringLiteral("excel文件批量转pdf") + QStringLiteral("4.0"));
    setWindowIcon(QIcon(QStringLiteral(":/images/qlx.ico")));

    trayIcon = new SystemTray(this);
    connect(trayIcon, &SystemTray::showWidget, this, &MainWindow::ShowSoftWindow);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::SystemTrayActivated);

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

    if (!IsAutorunLaunch())
        show();
}

// Quitting during a run stops it after the workbook in work and waits until its spreadsheet
// application has quit, so that no office is left behind.
MainWindow::~MainWindow()
{
    if (worker)
        worker->RequestStop();
    EndPreviousRun();
    delete ui;
}

void MainWindow::EndPreviousRun()
{
    if (!workerThread)
        return;
    workerThread->quit();
    workerThread->wait();
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

void MainWindow::ChooseFolder(QLineEdit* field, const char* key)
{
    QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("选择文件夹"), QStringLiteral("."),
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (folder.isEmpty())
        return;
    // One trailing separator, also for a root that the dialog already gives with one.
    folder = QDir::toNativeSeparators(folder);
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
        QMessageBox::about(this, QStringLiteral("Message:"), QStringLiteral("提取文件夹不存在!"));
        return;
    }
    SaveToQuondamPath = ui->cBox_SaveToQuondamPath->isChecked();
    if (!QFileInfo(SavePath).isDir() && !SaveToQuondamPath) {
        QMessageBox::about(this, QStringLiteral("Message:"), QStringLiteral("保存文件夹不存在!"));
        return;
    }
#ifndef Q_OS_WIN
    std::string tempFolder, problem;
    if (!UsableTemporaryFolder(tempFolder, problem)) {
        QMessageBox::about(this, QStringLiteral("Message:"), QString::fromStdString(problem));
        return;
    }
#endif
    ui->lb_ShowDisposing->SetWholeText(QString());
    ui->pBtn_Transform->setEnabled(false);
    MergeSheets = ui->cBox_MergeSheets->isChecked();

    EndPreviousRun();
    workerThread = new QThread();
    workerThread->start(QThread::InheritPriority);
    RunOptions options;
    options.jobs = WindowJobs();
    worker = new MergeObject(options);
    worker->moveToThread(workerThread);
    connect(worker, SIGNAL(ShowDisposingFile(QString)), this, SLOT(on_ShowDisposingFile(QString)));
    connect(this, SIGNAL(pBtn_Transform_HasClicked()), worker, SLOT(Transform()));
    connect(worker, SIGNAL(Signal_SetButtonEnable()), this, SLOT(on_Signal_SetButtonEnable()));
    emit pBtn_Transform_HasClicked();
}

// The end of a run: the button comes back, and the run's full report is written.
void MainWindow::on_Signal_SetButtonEnable()
{
    ui->pBtn_Transform->setEnabled(true);
    WriteRunReport();
}

// The whole record of the run, every failure included, replacing the previous run's; when the
// summary could not name every failure, its last line says where they all are.
void MainWindow::WriteRunReport()
{
    runReport.clear();
    if (!worker)
        return;
    const RunRecord& record = worker->Record();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString path = folder + QStringLiteral("/转换报告.txt");
    QString error;
    const bool written = !folder.isEmpty() && QDir().mkpath(folder) &&
                         WriteReportFile(path, TextReport(record).toUtf8(), error);
    if (written)
        runReport = path;
    if (record.FailureLines().size() <= SummaryNamedFailures)
        return;
    const QString where =
        written ? QStringLiteral("完整的失败列表见（点击打开）：") + QDir::toNativeSeparators(path)
                : QStringLiteral("无法写出完整的失败列表：") + error;
    ui->lb_ShowDisposing->SetWholeText(record.Summary() + '\n' + where);
}

void MainWindow::on_lb_ShowDisposing_clicked()
{
    if (!runReport.isEmpty() && ui->pBtn_Transform->isEnabled())
        QDesktopServices::openUrl(QUrl::fromLocalFile(runReport));
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
