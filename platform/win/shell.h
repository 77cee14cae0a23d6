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
// An address (a scheme of two or more characters, a letter and then letters, digits, "+", "-"
// or ".", followed by ":", as in "https:", "mailto:" or "file:" in any letter case) goes to the
// desktop's opener (xdg-open on PATH) unchanged, without parameters. Anything else is a file: a
// relative file is taken from directory when one is given, else from the current folder; a
// program (execute permission and an ELF header or a "#!" line) is started directly with the
// parameters split by the Windows rules, any other existing file or folder goes to the opener
// alone, as one absolute path. A help file (".hlp" in any letter case) written as a web page
// goes to the opener as its copy name + ".html" when that lies beside it, since Linux viewers
// type files by name and none reads a Windows help file. The started process is detached (its
// own session, not a child of ours, stdin from /dev/null), runs in directory when one is given,
// and is never awaited; no shell is involved. owner and showCommand have no effect on Linux.
HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* directory, int showCommand);
