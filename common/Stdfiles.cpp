#include "Stdfiles.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/fileutils.h"
#include "rtl/findfile.h"
#include "rtl/paths.h"
#include "rtl/registry.h"
#include "rtl/sysutils.h"
#include "vcl/forms.h"
#include "win/file.h"
#include "win/handle.h"
#include "win/kernel.h"
#include "win/shell.h"

namespace Stdfiles {

AnsiString RunAsDefaultExeFile;

namespace {

// The registry key of RegFileName, under the current user.
const AnsiString kPathKey = "Software\\Common\\Path";

// Closes a handle on every way out.
struct THandleGuard {
    HANDLE Handle;
    ~THandleGuard() { CloseHandle(Handle); }
};

// The length of the NUL-terminated text in a buffer of size bytes (all of it when there is no NUL).
int TextLength(const char* Buffer, std::size_t Size) {
    return static_cast<int>(std::find(Buffer, Buffer + Size, '\0') - Buffer);
}

// The path without its final delimiter.
AnsiString WithoutTrailingDelimiter(const AnsiString& S) {
    return IsPathDelimiter(S, S.Length()) ? S.SubString(1, S.Length() - 1) : S;
}

int FileOperation(DWORD Handle, UINT Func, const AnsiString& Source, const AnsiString* Dest) {
    // Each list ends with two NULs (the text's own terminator follows them).
    std::string from = Source.str() + std::string(2, '\0');
    std::string to = Dest ? Dest->str() + std::string(2, '\0') : std::string();
    SHFILEOPSTRUCTA op{};
    op.hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Handle));
    op.wFunc = Func;
    op.pFrom = from.c_str();
    op.pTo = Dest ? to.c_str() : nullptr;
    op.fFlags = FOF_ALLOWUNDO;
    op.fAnyOperationsAborted = FALSE;
    op.hNameMappings = nullptr;
    op.lpszProgressTitle = nullptr;
    return SHFileOperationA(&op);
}

}  // namespace

// ---- Text files and file sizes --------------------------------------------------------------------

bool EnumFile(const AnsiString& Mask, int Attr, TStrings* List, bool ExtOff) {
    bool Result = false;
    TSearchRec F;
    if (FindFirst(Mask, Attr, F) == 0) {
        try {
            do {
                Result = true;
                List->Add(ExtOff ? ChangeFileExt(F.Name, "") : F.Name);
            } while (FindNext(F) == 0);
        } catch (...) {
            FindClose(F);
            throw;
        }
        FindClose(F);
    }
    return Result;
}

bool SaveToFiletxt(const AnsiString& FileName, const AnsiString& Text) {
    std::unique_ptr<TStringList> List(new TStringList);
    List->SetText(Text);
    try {
        List->SaveToFile(FileName);
    } catch (...) {
        return false;
    }
    return true;
}

bool UNCSaveToFiletxt(const AnsiString& FileName, WideString Text) {
    HANDLE File = CreateFileA(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE) throw EFCreateError(Format(SFCreateError, {FileName}));
    THandleGuard Guard{File};
    // The mark U+FEFF, then every unit, least significant byte first.
    std::string Bytes = "\xFF\xFE";
    Bytes.reserve(2 + 2 * static_cast<std::size_t>(Text.Length()));
    for (char16_t Unit : Text.str()) {
        Bytes += static_cast<char>(Unit & 0xFF);
        Bytes += static_cast<char>(Unit >> 8);
    }
    DWORD Written = 0;
    // A write that fails is reported, not passed over as a success.
    return WriteFile(File, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr) &&
           Written == Bytes.size();
}

AnsiString LoadFromFiletxt(const AnsiString& FileName) {
    std::unique_ptr<TStringList> List(new TStringList);
    List->LoadFromFile(FileName);
    return List->Text();
}

AnsiString UNCLoadFromFiletxt(const AnsiString& FileName, bool& Ok) {
    Ok = false;
    HANDLE File = CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE) throw EFOpenError(Format(SFOpenError, {FileName}));
    THandleGuard Guard{File};

    DWORD High = 0;
    const DWORD Low = ::GetFileSize(File, &High);
    const std::int64_t Size = static_cast<std::int64_t>(High) << 32 | Low;
    // One read of a signed 32-bit count covers less than 2 GiB.
    if (Size <= 2 || Size >= 0x80000000LL) return AnsiString();

    // Whole code units, with ten zero bytes behind the data: a NUL unit always ends the text.
    std::vector<char16_t> Buffer((static_cast<std::size_t>(Size) + 10 + 1) / 2, u'\0');
    unsigned char* Bytes = reinterpret_cast<unsigned char*>(Buffer.data());
    DWORD Read = 0;
    if (!ReadFile(File, Bytes, static_cast<DWORD>(Size), &Read, nullptr) || Read != static_cast<DWORD>(Size))
        return AnsiString();

    const bool LittleFirst = Bytes[0] == 0xFF && Bytes[1] == 0xFE;
    const bool BigFirst = Bytes[0] == 0xFE && Bytes[1] == 0xFF;
    if (!LittleFirst && !BigFirst) return LoadFromFiletxt(FileName);
    // Swap every pair that starts below the size, when the file's order is not the machine's.
    const bool FileIsLittle = LittleFirst;
    if (FileIsLittle != (std::endian::native == std::endian::little))
        for (std::int64_t i = 0; i < Size; i += 2) std::swap(Bytes[i], Bytes[i + 1]);

    const char16_t* Text = Buffer.data() + 1;
    AnsiString Result = Utf16ToAnsi(std::u16string_view(Text, std::char_traits<char16_t>::length(Text)));
    Ok = true;
    return Result;
}

std::int64_t GetFileSize(const AnsiString& FileName) {
    HANDLE File = CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE) throw EFOpenError(SFileOpenFailed);
    THandleGuard Guard{File};
    DWORD High = 0;
    const DWORD Low = ::GetFileSize(File, &High);
    // A size the system cannot give is no size.
    if (Low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) throw EFOpenError(SFileOpenFailed);
    return static_cast<std::int64_t>(High) * 4294967296LL + Low;
}

std::uint16_t ByteToMK(std::int64_t Size, std::uint16_t& G, std::uint16_t& M, std::uint16_t& K) {
    if (Size < 0) {
        G = M = K = 0;
        return 0;
    }
    if (Size >= (std::int64_t{1} << 46)) {
        G = 65535;
        M = K = 1023;
        return 1023;
    }
    G = static_cast<std::uint16_t>(Size / 1073741824);
    Size -= G * std::int64_t{1073741824};
    M = static_cast<std::uint16_t>(Size / 1048576);
    Size -= M * std::int64_t{1048576};
    K = static_cast<std::uint16_t>(Size / 1024);
    return static_cast<std::uint16_t>(Size - K * std::int64_t{1024});
}

// ---- Processes, shell, registry and folders --------------------------------------------------------

int FindExecutable(AnsiString& Program, const AnsiString& File) {
    char Buffer[MAX_PATH + 1] = "";
    const int Result = static_cast<int>(FindExecutableA(File.c_str(), nullptr, Buffer));
    const AnsiString Found(Buffer, TextLength(Buffer, sizeof Buffer));
    if (FileExists(Found)) Program = Found;
    return Result;
}

int Shell(const AnsiString& File, int Show, bool Wait) {
    if (!Wait) return static_cast<int>(ShellExecuteA(nullptr, "open", File.c_str(), nullptr, nullptr, Show));
    return RunAs(File, "", Show, wfWaitFull, nullptr) ? 1 : 0;
}

bool RunAs(const AnsiString& File, const AnsiString& Param, int Show, TExecuteWaitFlag Flag,
           TWaitLongCallBack CallBack) {
    const AnsiString CmdLine = Param.IsEmpty() ? File : File + " " + Param;
    STARTUPINFOA StartupInfo;
    GetStartupInfoA(&StartupInfo);
    StartupInfo.dwFlags |= STARTF_USESHOWWINDOW;
    StartupInfo.wShowWindow = static_cast<WORD>(Show);
    PROCESS_INFORMATION ProcessInfo{};
    std::string Line = CmdLine.str();
    if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                        nullptr, &StartupInfo, &ProcessInfo))
        return false;
    // Both handles are closed on every way out, the thread's first.
    THandleGuard Process{ProcessInfo.hProcess};
    THandleGuard Thread{ProcessInfo.hThread};

    switch (Flag) {
    case wfWaitInput:
        WaitForInputIdle(ProcessInfo.hProcess, INFINITE);
        break;
    case wfWaitFull:
        WaitForSingleObject(ProcessInfo.hProcess, INFINITE);
        break;
    case wfWaitLong: {
        const DWORD Start = GetTickCount();
        bool Cancel = false;
        DWORD Outcome;
        do {
            Outcome = WaitForSingleObject(ProcessInfo.hProcess, 1000);
            if (CallBack) CallBack(CmdLine, GetTickCount() - Start, ProcessInfo, Cancel);
            if (Cancel) break;
            Application->ProcessMessages();
            // Only a wait that ran out goes round again: a failed wait would never end.
        } while (Outcome == WAIT_TIMEOUT);
        break;
    }
    case wfNone:
        break;
    }
    return true;
}

AnsiString SearchNear(const AnsiString& Name, bool PathOnly) {
    if (!PathOnly) {
        const AnsiString Registered = RegFileName(Name);
        if (!Registered.IsEmpty()) return Registered;

        const AnsiString D = ExtractFileDir(Application->ExeName());
        const AnsiString P = ExtractFileDir(WithoutTrailingDelimiter(D));
        const AnsiString Above = P + AnsiString(PathDelim) + Name;
        if (FileExists(Above)) return Above;

        const AnsiString Below = D + AnsiString(PathDelim) + ChangeFileExt(Name, "") + AnsiString(PathDelim) + Name;
        if (FileExists(Below)) return Below;
    }
    char Buffer[MAX_PATH] = "";
    char* FilePart = nullptr;
    const DWORD Length = SearchPathA(nullptr, Name.c_str(), nullptr, MAX_PATH, Buffer, &FilePart);
    // A result that would not fit the buffer was never written into it.
    if (Length == 0 || Length >= MAX_PATH) return AnsiString();
    return AnsiString(Buffer, static_cast<int>(Length));
}

void RegFileName(const AnsiString& Name, const AnsiString& FileName) {
    if (!FileExists(FileName)) return;
    std::unique_ptr<TRegistry> Registry(new TRegistry(KEY_ALL_ACCESS));
    Registry->SetRootKey(HKEY_CURRENT_USER);
    if (Registry->OpenKey(kPathKey, true)) {
        Registry->WriteString(Name, FileName);
        Registry->CloseKey();
    }
}

AnsiString RegFileName(const AnsiString& Name) {
    AnsiString Result;
    std::unique_ptr<TRegistry> Registry(new TRegistry(KEY_ALL_ACCESS));
    Registry->SetRootKey(HKEY_CURRENT_USER);
    if (Registry->OpenKey(kPathKey, true)) {
        const AnsiString Path = Registry->ReadString(Name);
        if (FileExists(Path)) Result = Path;
        Registry->CloseKey();
    }
    return Result;
}

DWORD Wait(DWORD Time) {
    const DWORD Start = GetTickCount();
    do Application->ProcessMessages();
    while (GetTickCount() - Start <= Time);
    return GetTickCount() - Start;
}

AnsiString GetSpecialDirPath(TCSIDLList Folder) { return GetSpecialDirPath(CSIDLList[Folder]); }

AnsiString GetSpecialDirPath(DWORD CSIDL) {
    LPITEMIDLIST List = nullptr;
    if (SHGetSpecialFolderLocation(GetForegroundWindow(), static_cast<int>(CSIDL), &List) < 0) return AnsiString();
    char Buffer[MAX_PATH + 1] = "";
    SHGetPathFromIDListA(List, Buffer);
    AnsiString Result(Buffer, TextLength(Buffer, sizeof Buffer));
    // A folder without a file-system path (a virtual one) has no path to give, not the root.
    if (!Result.IsEmpty() && !IsPathDelimiter(Result, Result.Length())) Result += AnsiString(PathDelim);
    LPMALLOC Malloc = nullptr;
    if (SHGetMalloc(&Malloc) == S_OK && Malloc) Malloc->Free(List);
    return Result;
}

int SH_Copy(DWORD Handle, const AnsiString& Source, const AnsiString& Dest) {
    return FileOperation(Handle, FO_COPY, Source, &Dest);
}

int SH_Move(DWORD Handle, const AnsiString& Source, const AnsiString& Dest) {
    return FileOperation(Handle, FO_MOVE, Source, &Dest);
}

int SH_Delete(DWORD Handle, const AnsiString& Source) { return FileOperation(Handle, FO_DELETE, Source, nullptr); }

int SH_Rename(DWORD Handle, const AnsiString& Source, const AnsiString& NewName) {
    AnsiString Folder = ExtractFilePath(Source);
    // A bare name is renamed where it is, in the current folder (never in the root).
    if (!Folder.IsEmpty()) Folder = IncludeTrailingPathDelimiter(Folder);
    const AnsiString Dest = Folder + NewName;
    return FileOperation(Handle, FO_RENAME, Source, &Dest);
}

}  // namespace Stdfiles
