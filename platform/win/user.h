// Stand-ins for the Windows user-interface calls on text that the programs make.
#pragma once

#include "win/windef.h"

// Upper-cases the first length bytes of buffer in place, as code page 932 text: the letters a to z
// become A to Z, double-byte characters (full-width letters included) stay as they are. Returns
// length.
DWORD CharUpperBuffA(char* buffer, DWORD length);
