#include "vcl/timers.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() = default;  // the loop timer disarms itself

void TTimer::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(std::uint32_t value) {
    if (value == FInterval) return;
    FInterval = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
    FOnTimer = std::move(value);
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::Timer() {
    // A copy, so that a handler may replace itself (or free the timer) while it runs.
    TNotifyEvent handler = FOnTimer;
    if (handler) handler(this);
}

// Our loop can always supply a timer, so the window timer's failure (EOutOfResources with
// SNoTimers) has no counterpart here.
void TTimer::UpdateTimer() {
    if (FEnabled && FInterval != 0 && FOnTimer)
        MessageLoop().AddTimer(this, FInterval);
    else
        MessageLoop().RemoveTimer(this);
}
