#pragma once

#include <QMainWindow>
#include <QSystemTrayIcon>

namespace Ui {
class MainWindow;
}
class MergeObject;
class QLineEdit;
class QThread;

// The program's window: the two folders, the two options, the convert button and the progress
// label. Each choice made through a picker or a check box is stored in the settings file at once;
// the convert button starts a run in a worker thread of its own.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

signals:
    void pBtn_Transform_HasClicked();

public slots:
    void ShowSoftWindow();
    void SystemTrayActivated(QSystemTrayIcon::ActivationReason reason);

private slots:
    void on_ShowDisposingFile(QString filePath);
    void on_pBtn_SourcePath_clicked();
    void on_pBtn_SavePath_clicked();
    void on_pBtn_Transform_clicked();
    void on_Signal_SetButtonEnable();
    void on_cBox_SaveToQuondamPath_clicked();
    void on_cBox_MergeSheets_clicked();
    void on_lb_ShowDisposing_clicked();

private:
    void ChooseFolder(QLineEdit* field, const char* key);
    void SetSavePathEnabled(bool enabled);
    void EndPreviousRun();
    void WriteRunReport();

    Ui::MainWindow* ui;
    int screenWidth;
    int screenHeight;
    int initialHeight;
    int initialWidth;
    QThread* workerThread = nullptr;
    MergeObject* worker = nullptr;
    QString runReport; // the last run's report file, once written
};
