// The message loop behind the application object: it serves window events, the timers and work
// posted for later, all on the one thread. Stands in for the Windows message loop (GetMessage /
// DispatchMessage, WM_TIMER) and its window timers: the real loop runs on Qt's event loop, with
// one Qt timer set to the next deadline; tests put a virtual loop in its place, whose time moves
// only when told to.
#pragma once

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "rtl/clock.h"

class TMessageLoop;

// What the loop knows of a timer: it is told to tick when due.
class TLoopTimer {
public:
    virtual ~TLoopTimer();
    virtual void Tick() = 0;

private:
    friend class TMessageLoop;
    TMessageLoop* FLoop = nullptr;  // the loop it is armed on, if any
};

class TMessageLoop {
public:
    TMessageLoop() = default;
    TMessageLoop(const TMessageLoop&) = delete;
    TMessageLoop& operator=(const TMessageLoop&) = delete;
    virtual ~TMessageLoop();

    // Arms the timer to tick every intervalMs milliseconds (> 0), counting from now on Clock();
    // a timer armed already (on this or another loop) starts its count again here.
    void AddTimer(TLoopTimer* timer, std::uint32_t intervalMs);
    // Disarms the timer on whichever loop it is armed.
    void RemoveTimer(TLoopTimer* timer);
    // Work done by the loop later, after what is pending now, in the order posted.
    void Post(std::function<void()> work);

    // Serves events until Quit. A Quit that comes before Run makes Run return at once.
    virtual void Run() = 0;
    virtual void Quit() = 0;
    // Serves what is waiting now (window events, due timers, posted work), then returns.
    virtual void ProcessMessages();

protected:
    // The earliest deadline among the armed timers.
    std::optional<std::uint64_t> NextDeadline() const;
    // Ticks the one timer that is due first at now (equal deadlines in the order they were armed)
    // and moves its deadline on by its interval; false when none is due. A deadline that falls
    // behind now (a loop kept busy) moves to now + interval, so missed ticks do not pile up.
    bool FireNextDue(std::uint64_t now);
    bool HasPosted() const { return !FPosted.empty(); }
    // Does the work posted so far (not what it posts in turn); true when there was any.
    bool RunPosted();
    // The next deadline or the posted work changed: the real loop re-arms its wake-up.
    virtual void Changed() {}

private:
    struct TEntry {
        TLoopTimer* Timer;
        std::uint32_t Interval;
        std::uint64_t Due;
        std::uint64_t Order;
    };
    // Runs work from the loop; an exception goes to the application's handler.
    static void Dispatch(const std::function<void()>& work);

    std::vector<TEntry> FTimers;
    std::deque<std::function<void()>> FPosted;
    std::uint64_t FNextOrder = 0;
};

// The loop in force: the real one unless a virtual loop lives.
TMessageLoop& MessageLoop();

// What becomes of an exception that leaves a timer handler or posted work: the application
// object installs its exception report here. Without a handler the exception leaves the loop
// (the virtual loop's Advance or Run) or, on the real loop, is written to the error output.
void SetLoopExceptionHandler(std::function<void(std::exception_ptr)> handler);
// Hands an exception that the toolkit's events raised to that handler (or the error output).
void HandleLoopException(std::exception_ptr error);

// The test loop: while it lives it is the loop in force and its clock is Clock().
class TVirtualLoop : public TMessageLoop {
public:
    TVirtualLoop();
    ~TVirtualLoop() override;

    // Moves the clock on by ms, ticking each timer at each of its deadlines on the way, all timers
    // in deadline order, with the clock standing at that deadline; after each tick, and at the
    // end, the posted work (and Qt's posted events, when a Qt application object exists) is done.
    void Advance(std::uint64_t ms);
    // Jumps from deadline to deadline until Quit, or until no timer is armed and nothing is posted.
    void Run() override;
    void Quit() override { FQuit = true; }
    // What is due at the present moment: Advance(0).
    void ProcessMessages() override { Advance(0); }

    // Stays true once Quit was called: the program would have ended there.
    bool QuitRequested() const { return FQuit; }
    std::uint64_t Now() { return FClock.NowMs(); }

private:
    void DrainPosted();

    TVirtualClock FClock;
    TMessageLoop* FPreviousLoop;
    TClock* FPreviousClock;
    bool FQuit = false;
};

// Provided by the toolkit glue (qt/loop.cpp).
namespace loopglue {
// The loop on Qt's event loop.
TMessageLoop& RealLoop();
// Delivers Qt's posted events (deferred deletes included) if a Qt application object exists.
void DrainToolkitEvents();
// Writes an exception that no handler took to the error output.
void ReportUnhandled(std::exception_ptr error);
}  // namespace loopglue
