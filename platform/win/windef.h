// The basic Windows types and show-window values that the stand-in calls share.
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
// Macros, as on Windows (and as some system headers define them too).
#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

// A window handle: the owner of a dialog or a started program (no meaning on Linux).
using HWND = void*;
// ShellExecuteA's result: above 32 on success, else the error value (kept as an integer, so that
// the comparison with 32 reads as it does on Windows).
using HINSTANCE = std::intptr_t;

// Show-window values; the desktop decides how a started program's window first appears.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOW = 5;
