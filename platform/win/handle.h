// Stand-ins for the Windows kernel's object handles and its last-error value: a handle is one of
// our own objects (an open file, a started process or its thread), freed by CloseHandle; the
// last error is kept per thread, as on Windows.
#pragma once

#include "win/windef.h"

using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(-1);

// The Windows error numbers our calls set.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_BAD_FORMAT = 11;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;

DWORD GetLastError();
void SetLastError(DWORD error);
// The Windows error number for an errno value.
DWORD ErrorFromErrno(int error);

// Frees the handle's object (a file is closed; a process goes on running on its own).
// FALSE for a handle that is none of ours.
BOOL CloseHandle(HANDLE object);

// What a handle points at; the calls that make handles derive their objects from it.
class THandleObject {
public:
    virtual ~THandleObject() = default;
};

// The object behind a handle, or null for INVALID_HANDLE_VALUE and null.
THandleObject* HandleObject(HANDLE object);
