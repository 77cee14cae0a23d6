#include "vcl/loop.h"

#include <algorithm>

namespace {

TMessageLoop* gLoop = nullptr;  // a virtual loop in force, or null for the real one
std::function<void(std::exception_ptr)> gExceptionHandler;

}  // namespace

TLoopTimer::~TLoopTimer() {
    if (FLoop) FLoop->RemoveTimer(this);
}

TMessageLoop::~TMessageLoop() {
    for (TEntry& entry : FTimers) entry.Timer->FLoop = nullptr;
}

void TMessageLoop::AddTimer(TLoopTimer* timer, std::uint32_t intervalMs) {
    RemoveTimer(timer);
    FTimers.push_back({timer, intervalMs, Clock().NowMs() + intervalMs, FNextOrder++});
    timer->FLoop = this;
    Changed();
}

void TMessageLoop::RemoveTimer(TLoopTimer* timer) {
    TMessageLoop* loop = timer->FLoop;
    if (!loop) return;
    auto& timers = loop->FTimers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [timer](const TEntry& e) { return e.Timer == timer; }),
                 timers.end());
    timer->FLoop = nullptr;
    loop->Changed();
}

void TMessageLoop::Post(std::function<void()> work) {
    FPosted.push_back(std::move(work));
    Changed();
}

std::optional<std::uint64_t> TMessageLoop::NextDeadline() const {
    std::optional<std::uint64_t> next;
    for (const TEntry& e : FTimers)
        if (!next || e.Due < *next) next = e.Due;
    return next;
}

bool TMessageLoop::FireNextDue(std::uint64_t now) {
    TEntry* first = nullptr;
    for (TEntry& e : FTimers)
        if (e.Due <= now && (!first || e.Due < first->Due ||
                             (e.Due == first->Due && e.Order < first->Order)))
            first = &e;
    if (!first) return false;
    first->Due += first->Interval;
    if (first->Due <= now) first->Due = now + first->Interval;
    TLoopTimer* timer = first->Timer;
    // Re-armed before the tick: the handler may change the timers or run a modal loop.
    Changed();
    Dispatch([timer] { timer->Tick(); });
    return true;
}

bool TMessageLoop::RunPosted() {
    if (FPosted.empty()) return false;
    std::deque<std::function<void()>> batch;
    batch.swap(FPosted);
    for (auto& work : batch) Dispatch(work);
    return true;
}

void TMessageLoop::Dispatch(const std::function<void()>& work) {
    if (!gExceptionHandler) {
        work();
        return;
    }
    try {
        work();
    } catch (...) {
        gExceptionHandler(std::current_exception());
    }
}

void TMessageLoop::ProcessMessages() { loopglue::DrainToolkitEvents(); }

TMessageLoop& MessageLoop() { return gLoop ? *gLoop : loopglue::RealLoop(); }

void SetLoopExceptionHandler(std::function<void(std::exception_ptr)> handler) {
    gExceptionHandler = std::move(handler);
}

void HandleLoopException(std::exception_ptr error) {
    if (gExceptionHandler)
        gExceptionHandler(error);
    else
        loopglue::ReportUnhandled(error);
}

TVirtualLoop::TVirtualLoop() : FPreviousLoop(gLoop), FPreviousClock(&Clock()) {
    gLoop = this;
    SetClock(&FClock);
}

TVirtualLoop::~TVirtualLoop() {
    gLoop = FPreviousLoop;
    SetClock(FPreviousClock);
}

void TVirtualLoop::Advance(std::uint64_t ms) {
    const std::uint64_t target = FClock.NowMs() + ms;
    DrainPosted();
    for (;;) {
        std::optional<std::uint64_t> next = NextDeadline();
        if (!next || *next > target) break;
        // A handler that slept may have moved the clock past the deadline already.
        if (*next > FClock.NowMs()) FClock.Set(*next);
        FireNextDue(FClock.NowMs());
        DrainPosted();
    }
    if (target > FClock.NowMs()) FClock.Set(target);
    DrainPosted();
}

void TVirtualLoop::Run() {
    if (FQuit) return;
    DrainPosted();
    while (!FQuit) {
        std::optional<std::uint64_t> next = NextDeadline();
        if (!next) return;  // nothing could ever happen
        Advance(*next > FClock.NowMs() ? *next - FClock.NowMs() : 0);
    }
}

void TVirtualLoop::DrainPosted() {
    do loopglue::DrainToolkitEvents();
    while (RunPosted());
}
