#include "win/kernel.h"

#include "rtl/clock.h"

DWORD GetTickCount() { return static_cast<DWORD>(Clock().NowMs()); }

void Sleep(DWORD milliseconds) { Clock().SleepMs(milliseconds); }
