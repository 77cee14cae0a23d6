// TTimer and the message loop, on the virtual loop's clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rtl/sysutils.h"
#include "vcl/loop.h"
#include "vcl/timers.h"

namespace {

class TimerTest : public ::testing::Test {
protected:
    // A timer owned by the fixture's owner that writes "name@time" into the log at each tick.
    TTimer* MakeTimer(const std::string& name, std::uint32_t interval, bool enabled = true) {
        auto* timer = new TTimer(&owner);
        timer->SetEnabled(enabled);
        timer->SetInterval(interval);
        timer->SetOnTimer(Logger(name));
        return timer;
    }
    TNotifyEvent Logger(const std::string& name) {
        return [this, name](TObject*) { log.push_back(name + "@" + Now()); };
    }

    static std::string Now() { return std::to_string(Clock().NowMs()); }

    TVirtualLoop loop;
    TComponent owner{nullptr};
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(TimerTest, FiresAtItsIntervalAgainAndAgainAndOnlyInTheLoop) {
    MakeTimer("t", 100);
    loop.Advance(0);
    loop.Advance(99);
    EXPECT_EQ(log, Log{});
    loop.Advance(1);
    EXPECT_EQ(log, Log{"t@100"});
    loop.Advance(250);
    EXPECT_EQ(log, (Log{"t@100", "t@200", "t@300"}));
}

TEST_F(TimerTest, DefaultsAreEnabledAndOneSecond) {
    TTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    timer.SetOnTimer(Logger("t"));  // a handler is all it needs to run
    loop.Advance(2000);
    EXPECT_EQ(log, (Log{"t@1000", "t@2000"}));
}

TEST_F(TimerTest, NeverFiresWhenDisabledOrAtIntervalZero) {
    struct Case { bool enabled; std::uint32_t interval; } cases[] = {{false, 100}, {true, 0}};
    for (auto c : cases) {
        MakeTimer("t", c.interval, c.enabled);
        loop.Advance(10'000'000);
        EXPECT_EQ(log, Log{}) << c.enabled << " " << c.interval;
    }
}

TEST_F(TimerTest, SettingANewValueStartsTheCountAgain) {
    struct Case {
        const char* what;
        std::function<void(TTimer*)> change;  // done at 70 ms into a 100 ms count
        const char* firstTick;
    } cases[] = {
        {"disable, enable", [](TTimer* t) { t->SetEnabled(false); t->SetEnabled(true); }, "t@170"},
        {"new interval", [](TTimer* t) { t->SetInterval(50); }, "t@120"},
        {"new handler", [this](TTimer* t) { t->SetOnTimer(Logger("t")); }, "t@170"},
        {"interval 0, then back", [](TTimer* t) { t->SetInterval(0); t->SetInterval(100); }, "t@170"},
        // As the class library's timer: setting the value it has already changes nothing.
        {"same interval", [](TTimer* t) { t->SetInterval(100); }, "t@100"},
        {"enabled again", [](TTimer* t) { t->SetEnabled(true); }, "t@100"},
    };
    for (auto& c : cases) {
        TVirtualLoop fresh;
        log.clear();
        TTimer* timer = MakeTimer("t", 100);
        fresh.Advance(70);
        c.change(timer);
        fresh.Advance(100);
        ASSERT_FALSE(log.empty()) << c.what;
        EXPECT_EQ(log[0], c.firstTick) << c.what;
        delete timer;
    }
}

TEST_F(TimerTest, ALoadedTimerCountsFromItsLoading) {
    TTimer* timer = MakeTimer("t", 100);
    loop.Advance(40);
    timer->Loaded();
    loop.Advance(99);
    EXPECT_EQ(log, Log{});
    loop.Advance(1);
    EXPECT_EQ(log, Log{"t@140"});
}

TEST_F(TimerTest, TheLongestIntervalFiresExactlyWhenDue) {
    const std::uint32_t interval = 4294966296u;  // the display time of -1 seconds, unsigned
    MakeTimer("t", interval);
    for (int i = 0; i < 4; ++i) loop.Advance(1'000'000'000);
    loop.Advance(294'966'295);
    EXPECT_EQ(log, Log{});
    loop.Advance(1);
    EXPECT_EQ(log, Log{"t@4294966296"});
    loop.Advance(interval);
    EXPECT_EQ(log, (Log{"t@4294966296", "t@8589932592"}));
}

TEST_F(TimerTest, TimersFireInDeadlineOrderEachTimeTheyAreDue) {
    MakeTimer("a", 300);
    MakeTimer("b", 200);
    loop.Advance(600);
    // At 600 both are due: the one armed first goes first.
    EXPECT_EQ(log, (Log{"b@200", "a@300", "b@400", "a@600", "b@600"}));
}

TEST_F(TimerTest, AHandlerThatDisablesItsTimerFiresOnce) {
    TTimer* once = MakeTimer("once", 100);
    once->SetOnTimer([&](TObject* sender) {
        static_cast<TTimer*>(sender)->SetEnabled(false);
        log.push_back("once@" + Now());
    });
    loop.Advance(1000);
    EXPECT_EQ(log, Log{"once@100"});
}

TEST_F(TimerTest, AHandlerChangesAnotherTimerWithinOneAdvance) {
    // The launcher's pattern: one timer, at its tick, restarts the other with a new interval.
    TTimer* other = MakeTimer("other", 1000);
    TTimer* first = MakeTimer("first", 100);
    first->SetOnTimer([&](TObject*) {
        first->SetEnabled(false);
        other->SetEnabled(false);
        other->SetInterval(50);
        other->SetEnabled(true);
        log.push_back("first@" + Now());
    });
    loop.Advance(260);
    EXPECT_EQ(log, (Log{"first@100", "other@150", "other@200", "other@250"}));
}

TEST_F(TimerTest, AFreedTimerNeverTicks) {
    TTimer* gone = MakeTimer("gone", 100);
    TTimer* self = MakeTimer("self", 100);
    self->SetOnTimer([&](TObject* sender) {
        log.push_back("self");
        delete sender;  // a form freed from its own timer's handler takes the timer with it
    });
    delete gone;
    loop.Advance(500);
    EXPECT_EQ(log, Log{"self"});
}

TEST_F(TimerTest, RunJumpsToEachDeadlineUntilQuit) {
    TTimer* close = MakeTimer("close", 10000);
    close->SetOnTimer([&](TObject*) { loop.Quit(); });
    MakeTimer("tick", 4000);
    loop.Run();
    EXPECT_TRUE(loop.QuitRequested());
    EXPECT_EQ(loop.Now(), 10000u);
    EXPECT_EQ(log, (Log{"tick@4000", "tick@8000"}));
}

TEST_F(TimerTest, PostedWorkRunsAfterTheTickThatPostedIt) {
    TTimer* poster = MakeTimer("poster", 100);
    poster->SetOnTimer([&](TObject*) {
        MessageLoop().Post([&] { log.push_back("posted@" + Now()); });
    });
    MakeTimer("b", 150);
    loop.Advance(150);
    EXPECT_EQ(log, (Log{"posted@100", "b@150"}));
}

TEST_F(TimerTest, AnExceptionFromAHandlerGoesToTheApplicationsReport) {
    std::vector<std::string> reported;
    SetLoopExceptionHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const Exception& e) {
            reported.push_back(e.Message.str());
        }
    });
    TTimer* failing = MakeTimer("failing", 100);
    failing->SetOnTimer([](TObject*) { throw Exception("bad"); });
    MakeTimer("b", 150);
    loop.Advance(250);
    SetLoopExceptionHandler(nullptr);
    EXPECT_EQ(reported, (std::vector<std::string>{"bad", "bad"}));
    EXPECT_EQ(log, Log{"b@150"});
}

// The Qt seam itself: the real loop serves posted work and a timer, then quits.
TEST(RealLoopTest, ServesPostedWorkAndATimerThenQuits) {
    std::vector<std::string> seen;
    TTimer timer(nullptr);
    timer.SetInterval(1);
    timer.SetOnTimer([&](TObject*) {
        seen.push_back("tick");
        timer.SetEnabled(false);
        MessageLoop().Quit();
    });
    MessageLoop().Post([&] { seen.push_back("posted"); });
    MessageLoop().Run();
    EXPECT_EQ(seen, (std::vector<std::string>{"posted", "tick"}));
}

}  // namespace
