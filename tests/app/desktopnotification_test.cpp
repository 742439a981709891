#include "app/desktopnotification.h"

#include "notificationservice.h"

#include <QDBusConnection>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// A session bus of the test's own, so that the desktop's service, if any, never answers.
class DesktopNotificationTest : public ::testing::Test
{
protected:
    PrivateSessionBus bus;
    QString address;

    void SetUp() override
    {
        ASSERT_TRUE(bus.Start(address)) << "dbus-daemon, of the package dbus-daemon";
    }

    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("quillsheet-notifications"));
    }
};

TEST_F(DesktopNotificationTest, TheServiceGetsTheSummaryAndItsActionsReachTheWindow)
{
    NotificationListener listener(address);
    ASSERT_TRUE(listener.Serving());

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
