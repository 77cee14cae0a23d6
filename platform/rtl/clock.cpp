#include "rtl/clock.h"

#include <chrono>
#include <thread>

namespace {

class TSteadyClock : public TClock {
public:
    std::uint64_t NowMs() override {
        using namespace std::chrono;
        return static_cast<std::uint64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void SleepMs(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

TSteadyClock gSteady;
TClock* gClock = &gSteady;

}  // namespace

TClock& Clock() { return *gClock; }
void SetClock(TClock* clock) { gClock = clock ? clock : &gSteady; }
