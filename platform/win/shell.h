// Stand-in for the Windows shell call that opens a file with its default action.
#pragma once

#include "win/windef.h"

// ShellExecuteA's error values (a success is above 32).
constexpr HINSTANCE SE_ERR_FNF = 2;            // the file is missing
constexpr HINSTANCE SE_ERR_PNF = 3;            // the working folder is missing
constexpr HINSTANCE SE_ERR_ACCESSDENIED = 5;
constexpr HINSTANCE SE_ERR_OOM = 8;
constexpr HINSTANCE SE_ERR_BADFORMAT = 11;     // a program the system cannot start
constexpr HINSTANCE SE_ERR_NOASSOC = 31;       // no action for the file or the verb

// Opens file (code page 932) with verb null, "" or "open" (any other verb has no action here).
// A relative file is taken from directory when one is given, else from the current folder; a
// program (execute permission and an ELF header or a "#!" line) is started directly with the
// parameters split by the Windows rules, any other existing file or folder goes to the desktop's
// opener (xdg-open on PATH) alone. The started process is detached (its own session, not a child
// of ours, stdin from /dev/null), runs in directory when one is given, gets the file as one
// absolute path, and is never awaited; no shell is involved. owner and showCommand have no
// effect on Linux.
HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* directory, int showCommand);
