// Stand-ins for the Windows kernel's process calls. A command line is split by the Windows rules
// into the program and its arguments (an unquoted program path with blanks resolved as Windows
// does: the shortest leading part that names a program) and started with posix_spawn,
// never through a shell. The process is a child of ours: its handle waits on it through a
// pidfd, and once all its handles are closed it is reaped when it ends, so none is left as a
// zombie. Code page 932 text goes to the system as UTF-8.
#pragma once

#include <cstdint>

#include "win/handle.h"
#include "win/windef.h"

using WORD = std::uint16_t;

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
constexpr DWORD CREATE_DEFAULT_ERROR_MODE = 0x04000000;

struct STARTUPINFOA {
    DWORD cb;
    char* lpReserved;
    char* lpDesktop;
    char* lpTitle;
    DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    unsigned char* lpReserved2;
    HANDLE hStdInput, hStdOutput, hStdError;
};

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;  // the process id: a Linux process's main thread has that id
};

// Our own start-up information: nothing set but cb (Linux passes no show state to a program).
void GetStartupInfoA(STARTUPINFOA* startupInfo);

// Starts a program. With applicationName null, the program is the command line's first part:
// a quoted text, or else the shortest run of blank-separated words that names a program (an
// executable file); a name without "/" is looked for in the running program's folder, the
// current folder and PATH, as Windows does. The rest of the line is split into arguments by the Windows rules.
// The program runs in currentDirectory (null: ours) with our environment (environment must be
// null), its input from /dev/null, our output and error output, and no other descriptor of
// ours. The show state has no effect on Linux. FALSE with GetLastError when it cannot start
// (ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT for a file that is no
// program).
BOOL CreateProcessA(const char* applicationName, char* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD creationFlags, void* environment,
                    const char* currentDirectory, STARTUPINFOA* startupInfo,
                    PROCESS_INFORMATION* processInformation);

// Waits until the process (or its thread) has ended, at most milliseconds (INFINITE: no limit):
// WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED for a handle that is no process.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
// A started program counts as waiting for input as soon as it runs, which it does once
// CreateProcessA has returned: 0 at once (WAIT_FAILED for a handle that is no process).
DWORD WaitForInputIdle(HANDLE process, DWORD milliseconds);

// Starts the command line as CreateProcessA does and lets it run on its own: above 31 on
// success, else the error (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_BAD_FORMAT, ...).
// "EXPLORER.EXE folder" opens the folder (the rest of the line as one path, quotes around it
// dropped; the home folder when there is none) in the desktop's file manager, through xdg-open
// on PATH.
UINT WinExec(const char* commandLine, UINT showCommand);

// Looks for fileName (with extension appended when it has no suffix and one is given): in the
// folders of path (":"-separated), or with path null in the running program's folder, the
// current folder and PATH; a name with "/" is looked up as it stands. Only existing files count.
// On success the absolute path goes into buffer and its length (NUL excluded) is returned, with
// *filePart (when given) at its file name; a buffer too small is left alone and the size needed
// (NUL included) is returned; 0 when nothing is found.
DWORD SearchPathA(const char* path, const char* fileName, const char* extension, DWORD bufferLength,
                  char* buffer, char** filePart);

// The window that has the keyboard: none that the programs could own on Linux.
HWND GetForegroundWindow();
