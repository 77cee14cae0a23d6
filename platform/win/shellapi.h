// Stand-ins for the Windows shell calls of the common units: the program that opens a file,
// the user's special folders (as the XDG base and user directories), and the shell's file
// operation (copy, move and rename; delete with undo into the freedesktop Trash). Code page 932
// text, handed to the OS as UTF-8; relative names resolve against the current folder.
#pragma once

#include <cstdint>

#include "win/shell.h"
#include "win/windef.h"

using WORD = std::uint16_t;
using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

// The length of a path buffer, the terminating NUL included.
constexpr DWORD MAX_PATH = 260;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// The program that opens file (taken from directory when one is given): the file itself when it
// is a program (execute permission and an ELF header or a "#!" line, as ShellExecuteA decides),
// else the desktop's opener, xdg-open on PATH. Its path goes into result (MAX_PATH bytes) and a
// value above 32 is returned; SE_ERR_FNF for a missing file, SE_ERR_NOASSOC when there is no
// opener, with result empty.
HINSTANCE FindExecutableA(const char* file, const char* directory, char* result);

// ---- Special folders --------------------------------------------------------------------------

constexpr int CSIDL_PROGRAMS = 2;          // $XDG_DATA_HOME/applications
constexpr int CSIDL_PRINTERS = 4;          // a virtual folder: no file-system path
constexpr int CSIDL_PERSONAL = 5;          // XDG_DOCUMENTS_DIR
constexpr int CSIDL_FAVORITES = 6;         // none on Linux
constexpr int CSIDL_STARTUP = 7;           // $XDG_CONFIG_HOME/autostart
constexpr int CSIDL_RECENT = 8;            // none on Linux
constexpr int CSIDL_SENDTO = 9;            // none on Linux
constexpr int CSIDL_STARTMENU = 11;        // $XDG_DATA_HOME/applications
constexpr int CSIDL_DESKTOPDIRECTORY = 16; // XDG_DESKTOP_DIR
constexpr int CSIDL_TEMPLATES = 21;        // XDG_TEMPLATES_DIR
constexpr int CSIDL_APPDATA = 26;          // $XDG_CONFIG_HOME

// An item list: here, the folder it names.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;

// The folder of a CSIDL number into *list (to be freed with the shell's allocator): S_OK, or
// E_FAIL for a folder this system does not have. XDG_CONFIG_HOME and XDG_DATA_HOME are taken
// when set to absolute paths (else ~/.config and ~/.local/share); the user directories come from
// $XDG_CONFIG_HOME/user-dirs.dirs, and where it names none, the desktop is ~/Desktop and the
// others the home folder, as xdg-user-dir answers. The folder need not exist. Its path is
// written as the Windows shell writes one: no doubled delimiters, none at the end but the root's.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
// The list's file-system path into path (MAX_PATH bytes); FALSE, with path empty, when it has
// none or the path does not fit.
BOOL SHGetPathFromIDListA(LPITEMIDLIST list, char* path);

// The shell's allocator, which frees item lists.
class IMalloc {
public:
    virtual void Free(void* block);
    virtual ULONG Release();

protected:
    virtual ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;
HRESULT SHGetMalloc(LPMALLOC* allocator);

// ---- File operations ----------------------------------------------------------------------------

constexpr UINT FO_MOVE = 1;
constexpr UINT FO_COPY = 2;
constexpr UINT FO_DELETE = 3;
constexpr UINT FO_RENAME = 4;
constexpr WORD FOF_ALLOWUNDO = 0x0040;

// The shell's error values (a success is 0).
constexpr int DE_SAMEFILE = 0x71;
constexpr int DE_MANYSRC1DEST = 0x72;
constexpr int DE_DIFFDIR = 0x73;
constexpr int DE_ROOTDIR = 0x74;
constexpr int DE_DESTSUBTREE = 0x76;
constexpr int DE_INVALIDFILES = 0x7C;
constexpr int DE_FLDDESTISFILE = 0x7E;

struct SHFILEOPSTRUCTA {
    HWND hwnd;
    UINT wFunc;
    const char* pFrom;  // names, each ended by a NUL, the list by one more
    const char* pTo;
    WORD fFlags;
    BOOL fAnyOperationsAborted;
    void* hNameMappings;
    const char* lpszProgressTitle;
};

// Carries out the operation on every name of pFrom in order (a name's last part may hold the
// wildcards * and ?), stopping at the first failure, whose error value it returns (0: all done).
// Copy and move: into pTo when it is an existing folder; else one source becomes pTo (its folder
// made if missing) and several go into a new folder pTo. A folder is copied with all it holds,
// a file through a temporary file. Rename: pTo must lie in the source's folder (DE_DIFFDIR).
// There are no dialogs on Linux: an existing target is never replaced (ERROR_ALREADY_EXISTS),
// as a careful user would answer. Delete with FOF_ALLOWUNDO moves each name into the Trash
// (the home Trash under $XDG_DATA_HOME on its device, else the device's own .Trash/<uid> or
// .Trash-<uid>), with its .trashinfo record; a name that no Trash can take stays where it is
// and fails the operation. Delete without it removes for good.
int SHFileOperationA(SHFILEOPSTRUCTA* operation);
