// The class library's TTimer: a component that runs its OnTimer handler again and again at its
// interval while enabled. Stands in for the window timer (SetTimer / WM_TIMER) with a timer of
// our message loop (loop.h), so ticks are served only by the loop, never inside a setter.
#pragma once

#include <cstdint>

#include "rtl/classes.h"
#include "vcl/loop.h"

class TTimer : public TComponent, private TLoopTimer {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    // The timer counts while it is enabled, has a handler and an interval above 0; it starts its
    // count again whenever one of the three is set to a new value (the handler: at every set).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    // Milliseconds, an unsigned 32-bit count; 0 never fires.
    std::uint32_t Interval() const { return FInterval; }
    void SetInterval(std::uint32_t value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent value);

    // A timer loaded enabled from a layout counts from here.
    void Loaded() override;

protected:
    // One tick: runs OnTimer.
    virtual void Timer();

private:
    void UpdateTimer();
    void Tick() override { Timer(); }

    bool FEnabled = true;
    std::uint32_t FInterval = 1000;
    TNotifyEvent FOnTimer;
};
