#pragma once

#include <QMainWindow>
#include <QSystemTrayIcon>
#include <QTimer>

#include "convert/spreadsheetapplications.h"

namespace Ui {
class MainWindow;
}
class DesktopNotification;
class MergeObject;
class QPushButton;
class QLineEdit;
class QThread;
class RunProgressView;
struct WorkbookRecord;

// The program's window: the two folders, the two options, the convert and stop buttons, the
// run's progress and the progress label. Each choice made through a picker, a drop or a check box
// is stored in the settings file at once, and none can be changed during a run; the convert
// button starts a run in a worker thread of its own. A run that is stopped (the stop button, or
// quitting) ends after its workbooks in work, or 5 s after the stop with those workbooks' offices
// ended; quitting during a run keeps the window up, saying so, until then.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // applications: those of every run; they outlive the window.
    explicit MainWindow(SpreadsheetApplications& applications, QWidget* parent = nullptr);
    ~MainWindow() override;

signals:
    void pBtn_Transform_HasClicked();

public slots:
    void ShowSoftWindow();
    void SystemTrayActivated(QSystemTrayIcon::ActivationReason reason);
    // Ends the program: at once without a run, else once the run has stopped.
    void Quit();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The handlers of the form's widgets and of the run, each connected once in the constructor
    // or at the run's start. Plain members, not slots: the form's automatic connection by name
    // would connect each a second time and run it twice.
    void on_ShowDisposingFile(QString filePath);
    void on_pBtn_SourcePath_clicked();
    void on_pBtn_SavePath_clicked();
    void on_pBtn_Transform_clicked();
    void on_pBtn_Stop_clicked();
    // The run's end, told by its Signal_SetButtonEnable().
    void RunEnded();
    void on_cBox_SaveToQuondamPath_clicked();
    void on_cBox_MergeSheets_clicked();
    void on_lb_ShowDisposing_clicked();
    void ConnectTheForm();

    void ChooseFolder(QLineEdit* field, const char* key);
    void SetFolder(QLineEdit* field, const char* key, const QString& folder);
    void SetSavePathEnabled(bool enabled);
    // The choices of a run: locked from its launch to its end.
    void SetChoicesEnabled(bool enabled);
    bool Running() const;
    void StopRun();
    void ShowLongestInWork();
    void EndPreviousRun();
    void WriteRunReport();
    // Tells a user who is not looking that the run has ended.
    void NoticeTheEnd(const QString& summary);
    void AddRunActions();
    void DescribeControls();
    void OpenOutputFolder();
    void OpenRunReport();

    Ui::MainWindow* ui;
    int screenWidth;
    int screenHeight;
    int initialHeight;
    int initialWidth;
    QThread* workerThread = nullptr;
    MergeObject* worker = nullptr;
    RunProgressView* progress;
    QTimer forceStop; // ends the workbooks in work of a stopped run that did not end by itself
    bool quitWhenStopped = false;
    QString runReport; // the last run's report file, once written
    SpreadsheetApplications& applications;
    QPushButton* openFolderButton;
    QPushButton* openReportButton;
#ifndef Q_OS_WIN
    DesktopNotification* notification;
#endif
};
