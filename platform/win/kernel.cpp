#include "win/kernel.h"

#include <unistd.h>

#include "rtl/clock.h"
#include "rtl/codepage.h"

DWORD GetTickCount() { return static_cast<DWORD>(Clock().NowMs()); }

void Sleep(DWORD milliseconds) { Clock().SleepMs(milliseconds); }

BOOL SetCurrentDirectoryA(const char* pathName) {
    if (!pathName || !*pathName) return FALSE;
    return chdir(AnsiToUtf8(pathName).c_str()) == 0 ? TRUE : FALSE;
}
