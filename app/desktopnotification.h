#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

// The end of a run told through the desktop's notification service (org.freedesktop.Notifications
// on the session bus), with the actions to open the output folder and the run's report. Where no
// service answers, Unanswered() lets the caller fall back on the tray's balloon.
class DesktopNotification : public QObject
{
    Q_OBJECT

public:
    // busAddress: the bus to use; empty for the user's session bus.
    explicit DesktopNotification(const QString& busAddress, QObject* parent = nullptr);

    // Sends the notification; its answer, or the lack of one, comes later as a signal.
    void Show(const QString& title, const QString& summary);

signals:
    void OpenFolderRequested();
    void OpenReportRequested();
    // The notification itself was clicked.
    void ShowWindowRequested();
    // No service took the notification: title and summary, for another way of telling.
    void Unanswered(const QString& title, const QString& summary);

private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnClosed(uint id, uint reason);

private:
    QString busAddress;
    std::optional<QDBusConnection> bus; // first used when a run ends: start-up needs no bus
    uint shown = 0; // the id the service gave the notification on show, 0 when none is up
};
