// Stand-ins for the Windows kernel calls the programs make.
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;

// Milliseconds on the loop's clock, wrapping at 2^32 as the Windows tick count does.
DWORD GetTickCount();
// Waits on the loop's clock (a virtual clock just moves on).
void Sleep(DWORD milliseconds);
