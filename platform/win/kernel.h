// Stand-ins for the Windows kernel calls the programs make.
#pragma once

#include "win/windef.h"

// Milliseconds on the loop's clock, wrapping at 2^32 as the Windows tick count does.
DWORD GetTickCount();
// Waits on the loop's clock (a virtual clock just moves on).
void Sleep(DWORD milliseconds);

// Makes the folder the process's current folder; the code page 932 path goes to the system as
// UTF-8 (chdir). FALSE when the folder cannot be entered.
BOOL SetCurrentDirectoryA(const char* pathName);

// The full path of fileName (code page 932): a relative name is resolved against the current
// folder and "." and ".." steps are taken on the text. Returns the length copied into buffer
// (without the NUL), or the size needed when bufferLength is too small, or 0 for an empty name.
// filePart, when given, points at the file-name part in buffer.
DWORD GetFullPathNameA(const char* fileName, DWORD bufferLength, char* buffer, char** filePart);
