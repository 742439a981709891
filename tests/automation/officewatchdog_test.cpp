#include "automation/officewatchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// An office that holds as much memory as it is told and counts its kills. Its checks and kills
// may take a while, to show who waits for them; once let go, it counts any touch as a fault.
class FakeOffice final : public WatchedProcess
{
public:
    explicit FakeOffice(long long resident, std::chrono::milliseconds slowness = 0ms)
        : resident(resident), slowness_(slowness)
    {
    }

    long long ResidentBytes() const override
    {
        Touch();
        return resident;
    }
    void Kill() const override
    {
        Touch();
        ++kills;
    }

    // Waits until the watchdog is in a check or kill of this office, or a second has passed.
    bool WaitUntilBusy() const
    {
        const auto giveUp = Clock::now() + 1s;
        while (!busy && Clock::now() < giveUp)
            std::this_thread::sleep_for(1ms);
        return busy;
    }

    const long long resident;
    mutable std::atomic<int> kills{0};
    mutable std::atomic<bool> busy{false};
    std::atomic<bool> letGo{false};
    mutable std::atomic<int> touchedAfterLetGo{0};

private:
    void Touch() const
    {
        if (letGo)
            ++touchedAfterLetGo;
        busy = true;
        std::this_thread::sleep_for(slowness_);
        busy = false;
    }

    const std::chrono::milliseconds slowness_;
};

// Long enough for two checks past the first, as late as a busy machine may wake the watchdog.
constexpr auto Span = 600ms;

// One office watched for its workbook, another called into (as one being started is), for Span.
TEST(OfficeWatchdog, EachLimitKillsItsOfficeAndIsToldOnce)
{
    struct Case
    {
        const char* what;
        long long ceiling;
        std::chrono::milliseconds workbookLimit;
        long long resident;
        bool inWork;
        std::chrono::milliseconds callLimit; // 0: no call
        bool callsComeAndGo; // a call every few milliseconds, all within their limits
        bool callExpired;
        int watchedKills;
        int calledKills;
        OfficeWatchdog::Limit exceeded;
    };
    using L = OfficeWatchdog::Limit;
    const Case cases[] = {
        {"a call past its limit", 0, 0ms, 0, false, 100ms, false, true, 0, 1, L::None},
        {"a call within its limit", 0, 0ms, 0, false, 5000ms, false, false, 0, 0, L::None},
        {"over the ceiling", 1000, 0ms, 2000, true, 0ms, false, false, 1, 0, L::Memory},
        {"at the ceiling", 1000, 0ms, 1000, true, 0ms, false, false, 0, 0, L::None},
        {"past the time limit", 0, 100ms, 2000, true, 0ms, false, false, 1, 0, L::Time},
        {"past both: the time", 1000, 100ms, 2000, true, 0ms, false, false, 1, 0, L::Time},
        {"within the time limit", 0, 5000ms, 2000, true, 0ms, false, false, 0, 0, L::None},
        {"neither watched", 0, 0ms, 1LL << 50, true, 0ms, false, false, 0, 0, L::None},
        {"no workbook in work", 1000, 100ms, 2000, false, 0ms, false, false, 0, 0, L::None},
        {"over the ceiling between calls", 1000, 0ms, 2000, true, 0ms, true, false, 1, 0,
         L::Memory},
        {"over the ceiling in a hung call", 1000, 0ms, 2000, true, 5000ms, false, false, 1, 0,
         L::Memory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeOffice watched(c.resident);
        FakeOffice called(c.resident);
        OfficeWatchdog watchdog(c.ceiling, c.workbookLimit);
        watchdog.Watch(&watched);
        if (c.inWork)
            watchdog.BeginWorkbook();
        if (c.callLimit.count() > 0)
            watchdog.Arm(called, c.callLimit);
        const auto end = Clock::now() + Span;
        while (c.callsComeAndGo && Clock::now() < end) {
            ArmedCall call(watchdog, called, 10s);
            std::this_thread::sleep_for(5ms);
        }
        std::this_thread::sleep_until(end);
        if (c.callLimit.count() > 0) {
            EXPECT_EQ(watchdog.Disarm(), c.callExpired);
            EXPECT_EQ(watchdog.Disarm(), c.callExpired) << "asked again";
        }
        EXPECT_EQ(watched.kills.load(), c.watchedKills);
        EXPECT_EQ(called.kills.load(), c.calledKills);
        EXPECT_EQ(watchdog.TakeExceeded(), c.exceeded);
        EXPECT_EQ(watchdog.TakeExceeded(), L::None) << "told twice";
    }
}

// An expired limit is the last call's and the last workbook's alone: a fresh office started
// for the rest of a workbook that exceeded its limit is left alone, the next call and the next
// workbook are watched afresh.
TEST(OfficeWatchdog, TheNextCallAndTheNextWorkbookStartAfresh)
{
    FakeOffice first(2000), fresh(2000);
    OfficeWatchdog watchdog(1000, 0ms);
    watchdog.Watch(&first);
    watchdog.BeginWorkbook();
    {
        ArmedCall call(watchdog, first, 50ms);
        std::this_thread::sleep_for(Span);
        EXPECT_TRUE(call.Expired());
    }
    EXPECT_EQ(first.kills.load(), 2); // by the call's limit and by the ceiling
    EXPECT_EQ(watchdog.TakeExceeded(), OfficeWatchdog::Limit::Memory);

    watchdog.Watch(&fresh);
    {
        ArmedCall call(watchdog, fresh, 5s);
        std::this_thread::sleep_for(Span);
        EXPECT_FALSE(call.Expired());
    }
    EXPECT_EQ(fresh.kills.load(), 0);
    EXPECT_EQ(watchdog.TakeExceeded(), OfficeWatchdog::Limit::None);

    watchdog.BeginWorkbook();
    std::this_thread::sleep_for(Span);
    EXPECT_EQ(fresh.kills.load(), 1);
    EXPECT_EQ(watchdog.TakeExceeded(), OfficeWatchdog::Limit::Memory);
    watchdog.EndWorkbook();
}

// The session lets an office go once Watch(null) or Disarm() returns: neither may return while
// the watchdog is still reading or killing it, nor may the watchdog touch it afterwards.
TEST(OfficeWatchdog, WatchAndDisarmWaitForWhatTheWatchdogDoesToTheOffice)
{
    OfficeWatchdog watchdog(1000, 0ms);
    FakeOffice checked(500, 300ms);
    watchdog.Watch(&checked);
    watchdog.BeginWorkbook();
    ASSERT_TRUE(checked.WaitUntilBusy());
    watchdog.Watch(nullptr);
    checked.letGo = true;
    EXPECT_FALSE(checked.busy.load());

    FakeOffice hung(0, 300ms);
    watchdog.Arm(hung, 10ms);
    ASSERT_TRUE(hung.WaitUntilBusy());
    EXPECT_TRUE(watchdog.Disarm());
    hung.letGo = true;
    EXPECT_FALSE(hung.busy.load());
    EXPECT_EQ(hung.kills.load(), 1);

    std::this_thread::sleep_for(Span);
    EXPECT_EQ(checked.touchedAfterLetGo.load(), 0);
    EXPECT_EQ(hung.touchedAfterLetGo.load(), 0);
}

// A session that ends during a long call and a workbook ends at once and kills nothing.
TEST(OfficeWatchdog, EndsAtOnceWithACallAndAWorkbookInWork)
{
    FakeOffice office(0);
    const auto began = Clock::now();
    {
        OfficeWatchdog watchdog(1000, 3600s);
        watchdog.Watch(&office);
        watchdog.BeginWorkbook();
        watchdog.Arm(office, 3600s);
        std::this_thread::sleep_for(300ms);
    }
    EXPECT_LT(Clock::now() - began, 2s);
    EXPECT_EQ(office.kills.load(), 0);
}

} // namespace
