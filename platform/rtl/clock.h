// The loop's clock in milliseconds. The real one reads the system's monotonic clock; tests put a
// virtual clock in its place, so that timers and elapsed times are checked without waiting.
#pragma once

#include <cstdint>

class TClock {
public:
    virtual ~TClock() = default;
    virtual std::uint64_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};

// A clock that moves only when told to; sleeping moves it by the time slept.
class TVirtualClock : public TClock {
public:
    std::uint64_t NowMs() override { return FNow; }
    void SleepMs(std::uint32_t ms) override { FNow += ms; }
    void Set(std::uint64_t now) { FNow = now; }

private:
    std::uint64_t FNow = 0;
};

// The clock in force; SetClock(nullptr) brings back the real one.
TClock& Clock();
void SetClock(TClock* clock);
