#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

#include <functional>

// Waits, handling events, until done() or 5 s have passed.
inline bool WaitFor(const std::function<bool()>& done)
{
    QElapsedTimer since;
    since.start();
    while (!done() && since.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Handles events for a while: what was sent has arrived by then, and what should not happen has
// not.
inline void Settle()
{
    QElapsedTimer since;
    since.start();
    while (since.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A session bus of a test's own, ended with the test.
class PrivateSessionBus
{
public:
    ~PrivateSessionBus()
    {
        daemon.terminate();
        daemon.waitForFinished();
    }

    // Starts the bus; false when it could not be, else its address.
    bool Start(QString& address)
    {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address")});
        if (!daemon.waitForStarted() || !WaitFor([this] { return daemon.canReadLine(); }))
            return false;
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        return true;
    }

private:
    QProcess daemon;
};

// A notification service as a desktop has one: it takes the calls and, when told, answers with a
// click on an action or a closing.
class NotificationListener : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    // Owns the service on the bus at address, as a desktop's notification daemon does.
    explicit NotificationListener(const QString& address)
        : bus(QDBusConnection::connectToBus(address, QStringLiteral("notification-service")))
    {
        serving = bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                     QDBusConnection::ExportAllSlots) &&
                  bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~NotificationListener() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("notification-service"));
    }

    bool Serving() const { return serving; }

    QString summary;
    QString body;
    QStringList actions;
    uint replaced = 0;
    int calls = 0;

    void Send(const char* signal, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QString::fromLatin1(signal));
        message.setArguments(arguments);
        bus.send(message);
    }

public slots:
    uint Notify(const QString&, uint replacesId, const QString&, const QString& summaryText,
                const QString& bodyText, const QStringList& actionList, const QVariantMap&, int)
    {
        summary = summaryText;
        body = bodyText;
        actions = actionList;
        replaced = replacesId;
        return static_cast<uint>(40 + ++calls);
    }

private:
    QDBusConnection bus;
    bool serving = false;
};
