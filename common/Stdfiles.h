// Unit Stdfiles: file enumeration, 8-bit and UTF-16 text files, file sizes and their split into
// units, process start and wait, the search for a file near the program, the registry of file
// paths, the message-serving wait, the user's special folders and the shell's file operations.
// Failures show in the results (a bool, an empty text, the platform call's own value), except
// where a routine says that an error passes to its caller.
#pragma once

#include <cstdint>

#include "rtl/stringlist.h"
#include "rtl/system.h"
#include "rtl/widestring.h"
#include "win/process.h"
#include "win/shellapi.h"
#include "win/windef.h"

namespace Stdfiles {

// ---- Text files and file sizes --------------------------------------------------------------------

// Appends to List the names (without folder) of the entries that match Mask, a path whose last
// part may hold * and ?; Attr admits hidden, system, volume and folder entries besides ordinary
// files. With ExtOff each name loses its suffix. True when a name was appended.
bool EnumFile(const AnsiString& Mask, int Attr, TStrings* List, bool ExtOff);
// Writes Text's lines, each followed by CR LF (an empty text: an empty file). False, and no
// exception, when the file cannot be created or written.
bool SaveToFiletxt(const AnsiString& FileName, const AnsiString& Text);
// Writes FF FE and Text's UTF-16 code units, least significant byte first. Raises EFCreateError
// "ファイル %s を作成できません" when the file cannot be created; false when a write fails.
bool UNCSaveToFiletxt(const AnsiString& FileName, WideString Text);
// The file's lines, each followed by CR LF. Raises EFOpenError "ファイル %s は開けません".
AnsiString LoadFromFiletxt(const AnsiString& FileName);
// A UTF-16 file with a byte-order mark (either byte order), up to its first NUL code unit, in
// code page 932, with Ok true; a file of 2 bytes or less, of 2 GiB or more, or read short gives
// an empty text with Ok false; a file without a mark is read as LoadFromFiletxt reads it, with
// Ok false. Raises EFOpenError "ファイル %s は開けません" when the file cannot be opened.
AnsiString UNCLoadFromFiletxt(const AnsiString& FileName, bool& Ok);
// The file's size in bytes. Raises EFOpenError "ファイルが開けません" when it cannot be opened.
std::int64_t GetFileSize(const AnsiString& FileName);
// Splits Size into units of 1024^3 (G), 1024^2 (M) and 1024 (K) bytes; returns the rest (0 to
// 1023). A negative size gives all zeros; a size of 2^46 bytes or more, whose count of 1024^3
// does not fit, gives 65535, 1023, 1023 and the rest 1023.
std::uint16_t ByteToMK(std::int64_t Size, std::uint16_t& G, std::uint16_t& M, std::uint16_t& K);

// ---- Processes, shell, registry and folders --------------------------------------------------------

// How RunAs waits for the program it started.
enum TExecuteWaitFlag : std::uint8_t {
    wfNone,       // not at all
    wfWaitInput,  // until the program waits for input
    wfWaitFull,   // until it ends, blocking the calling thread
    wfWaitLong    // until it ends or the callback cancels, serving messages about once a second
};

enum TCSIDLList : std::uint8_t {
    csidlPrograms, csidlPersonal, csidlFavorites, csidlStartUp, csidlRecent,
    csidlSendTo, csidlStartMenu, csidlDeskTop, csidlTemplates, csidlAppData
};

// The Windows folder number of each member.
inline constexpr DWORD CSIDLList[csidlAppData + 1] = {
    CSIDL_PROGRAMS, CSIDL_PERSONAL, CSIDL_FAVORITES, CSIDL_STARTUP, CSIDL_RECENT,
    CSIDL_SENDTO, CSIDL_STARTMENU, CSIDL_DESKTOPDIRECTORY, CSIDL_TEMPLATES, CSIDL_APPDATA};

// Called during a wfWaitLong wait: the command line, the milliseconds since the wait began, the
// started program's handles (closed by RunAs afterwards) and the flag that ends the wait.
using TWaitLongCallBack = void (*)(const AnsiString& CmdLine, const DWORD Elapsed,
                                   PROCESS_INFORMATION& ProcessInfo, bool& Cancel);

// Public, for the unit's users; no routine of the unit reads or writes it.
extern AnsiString RunAsDefaultExeFile;

// FindExecutableA's value; Program takes the program found when that is an existing file.
int FindExecutable(AnsiString& Program, const AnsiString& File);
// Without Wait: ShellExecuteA "open" (above 32 on success). With Wait: 1 when RunAs started
// File as a program and it has ended, 0 when it could not start.
int Shell(const AnsiString& File, int Show, bool Wait);
// Starts File (and Param after one blank, when not empty) as a command line and waits as Flag
// says. True when the program was started.
bool RunAs(const AnsiString& File, const AnsiString& Param, int Show, TExecuteWaitFlag Flag,
           TWaitLongCallBack CallBack);
// The full path of Name: registered by RegFileName, in the folder above the program's folder,
// in the folder named after it inside the program's folder, or on the system's search path
// (only that with PathOnly). Empty when none holds.
AnsiString SearchNear(const AnsiString& Name, bool PathOnly);
// Registers FileName's path under Name, when that file exists.
void RegFileName(const AnsiString& Name, const AnsiString& FileName);
// The path registered under Name, when that file still exists; else empty.
AnsiString RegFileName(const AnsiString& Name);
// Serves the program's messages until more than Time milliseconds have passed; returns the
// milliseconds that passed.
DWORD Wait(DWORD Time);
// The special folder's path with a final delimiter; empty when this system has none.
AnsiString GetSpecialDirPath(TCSIDLList Folder);
AnsiString GetSpecialDirPath(DWORD CSIDL);
// The shell's file operation with undo; SHFileOperationA's value (0 on success). Source may
// hold several names separated by single NULs.
int SH_Copy(DWORD Handle, const AnsiString& Source, const AnsiString& Dest);
int SH_Move(DWORD Handle, const AnsiString& Source, const AnsiString& Dest);
int SH_Delete(DWORD Handle, const AnsiString& Source);
// Renames Source within its folder to NewName.
int SH_Rename(DWORD Handle, const AnsiString& Source, const AnsiString& NewName);

}  // namespace Stdfiles
