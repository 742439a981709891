#include "app/desktopnotification.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString OpenFolderAction = QStringLiteral("open-folder");
const QString OpenReportAction = QStringLiteral("open-report");
// The action of a click on the notification itself, by the protocol's name.
const QString DefaultAction = QStringLiteral("default");

} // namespace

DesktopNotification::DesktopNotification(const QString& busAddress, QObject* parent)
    : QObject(parent), busAddress(busAddress)
{
}

void DesktopNotification::Show(const QString& title, const QString& summary)
{
    if (!bus) {
        bus = busAddress.isEmpty() ? QDBusConnection::sessionBus()
                                   : QDBusConnection::connectToBus(
                                         busAddress, QStringLiteral("quillsheet-notifications"));
        bus->connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                     SLOT(OnActionInvoked(uint, QString)));
        bus->connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                     SLOT(OnClosed(uint, uint)));
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    const QStringList actions = {DefaultAction,    tr("显示窗口"),   OpenFolderAction,
                                 tr("打开文件夹"), OpenReportAction, tr("查看报告")};
    // The previous run's notification, when still up, gives way to this one.
    call << QStringLiteral("Quillsheet") << shown << QStringLiteral("quillsheet") << title
         << summary << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("quillsheet")}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, summary] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError())
            emit Unanswered(title, summary);
        else
            shown = reply.value();
    });
}

void DesktopNotification::OnActionInvoked(uint id, const QString& action)
{
    if (id != shown || id == 0)
        return;
    if (action == OpenFolderAction)
        emit OpenFolderRequested();
    else if (action == OpenReportAction)
        emit OpenReportRequested();
    else if (action == DefaultAction)
        emit ShowWindowRequested();
}

void DesktopNotification::OnClosed(uint id, uint)
{
    if (id == shown)
        shown = 0;
}
