#include "app/desktopnotification.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A notification service as a desktop has one: it takes the calls and, when told, answers with a
// click on an action or a closing.
class NotificationListener : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationListener(const QDBusConnection& bus) : bus(bus) {}

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
};

// Waits, handling events, until done() or 5 s have passed.
bool WaitFor(const std::function<bool()>& done)
{
    QElapsedTimer since;
    since.start();
    while (!done() && since.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Handles events for a while: what was sent has arrived by then, and what should not happen has
// not.
void Settle()
{
    QElapsedTimer since;
    since.start();
    while (since.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A session bus of the test's own, so that the desktop's service, if any, never answers.
class DesktopNotificationTest : public ::testing::Test
{
protected:
    QProcess daemon;
    QString address;

    void SetUp() override
    {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address")});
        ASSERT_TRUE(daemon.waitForStarted()) << "dbus-daemon, of the package dbus";
        ASSERT_TRUE(WaitFor([this] { return daemon.canReadLine(); }));
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    }

    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("quillsheet-notifications"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        daemon.terminate();
        daemon.waitForFinished();
    }

    QDBusConnection Bus(const char* name)
    {
        return QDBusConnection::connectToBus(address, QString::fromLatin1(name));
    }
};

TEST_F(DesktopNotificationTest, TheServiceGetsTheSummaryAndItsActionsReachTheWindow)
{
    QDBusConnection serviceBus = Bus("service");
    ASSERT_TRUE(serviceBus.isConnected());
    NotificationListener listener(serviceBus);
    ASSERT_TRUE(serviceBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                          &listener, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));

    DesktopNotification notification(address);
    QStringList told;
    for (const auto& [signal, name] :
         {std::pair{&DesktopNotification::OpenFolderRequested, "folder"},
          std::pair{&DesktopNotification::OpenReportRequested, "report"},
          std::pair{&DesktopNotification::ShowWindowRequested, "window"}})
        QObject::connect(&notification, signal,
                         [&told, name = name] { told << QString::fromLatin1(name); });
    QObject::connect(&notification, &DesktopNotification::Unanswered,
                     [&told] { told << QStringLiteral("balloon"); });

    notification.Show(QStringLiteral("标题"),
                      QStringLiteral("成功将2个excel文件转换为3个pdf文件。"));
    ASSERT_TRUE(WaitFor([&] { return listener.calls == 1; }));
    EXPECT_EQ(listener.summary, QStringLiteral("标题"));
    EXPECT_EQ(listener.body, QStringLiteral("成功将2个excel文件转换为3个pdf文件。"));
    EXPECT_EQ(listener.replaced, 0u);
    // Pairs of key and label; the labels in the user's language.
    ASSERT_EQ(listener.actions.size(), 6);
    EXPECT_EQ(listener.actions.mid(2),
              (QStringList{QStringLiteral("open-folder"), QStringLiteral("打开文件夹"),
                           QStringLiteral("open-report"), QStringLiteral("查看报告")}));
    EXPECT_EQ(listener.actions.at(0), QStringLiteral("default"));

    struct Case
    {
        uint id;
        const char* action;
        QStringList told;
    };
    const Case cases[] = {
        {41, "open-folder", {"folder"}},
        {41, "open-report", {"report"}},
        {41, "default", {"window"}},
        {7, "open-folder", {}}, // another program's notification
        {41, "unknown", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        told.clear();
        listener.Send("ActionInvoked", {c.id, QString::fromLatin1(c.action)});
        Settle();
        EXPECT_EQ(told, c.told);
    }

    // The next run's notification replaces the one still up; once closed, nothing is replaced.
    notification.Show(QStringLiteral("标题"), QStringLiteral("下一次"));
    ASSERT_TRUE(WaitFor([&] { return listener.calls == 2; }));
    EXPECT_EQ(listener.replaced, 41u);
    Settle();
    listener.Send("NotificationClosed", {42u, 2u});
    told.clear();
    listener.Send("ActionInvoked", {42u, QStringLiteral("open-folder")});
    Settle();
    EXPECT_TRUE(told.isEmpty()) << "a closed notification's action";
    notification.Show(QStringLiteral("标题"), QStringLiteral("再一次"));
    ASSERT_TRUE(WaitFor([&] { return listener.calls == 3; }));
    EXPECT_EQ(listener.replaced, 0u);
}

TEST_F(DesktopNotificationTest, WithoutAServiceTheTrayTellsInstead)
{
    DesktopNotification notification(address);
    QStringList unanswered;
    QObject::connect(
        &notification, &DesktopNotification::Unanswered,
        [&](const QString& title, const QString& summary) { unanswered << title << summary; });
    notification.Show(QStringLiteral("标题"), QStringLiteral("摘要"));
    ASSERT_TRUE(WaitFor([&] { return !unanswered.isEmpty(); }));
    EXPECT_EQ(unanswered, (QStringList{QStringLiteral("标题"), QStringLiteral("摘要")}));
}

} // namespace

#include "desktopnotification_test.moc"
