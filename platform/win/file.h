// Stand-ins for the Windows kernel's file calls: a handle on an open file descriptor (code page
// 932 names handed to the OS as UTF-8, relative names from the current folder). Only regular
// files are opened, never a folder, a pipe or a device. The share modes are accepted and not
// enforced: Linux does not lock a file against other programs.
#pragma once

#include <cstdint>

#include "win/handle.h"
#include "win/windef.h"

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x01;
constexpr DWORD FILE_SHARE_WRITE = 0x02;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

// Opens fileName: OPEN_EXISTING an existing file, CREATE_ALWAYS a new or emptied one (new files
// get 0666 less the umask); other dispositions are refused. INVALID_HANDLE_VALUE on failure,
// with the reason in GetLastError.
HANDLE CreateFileA(const char* fileName, DWORD desiredAccess, DWORD shareMode, void* securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
// Reads up to toRead bytes (fewer only at the end of the file); the count read in *read.
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
// Writes all toWrite bytes; the count written in *written.
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped);
// The file's size: the low 32 bits as the result, the high 32 bits in *sizeHigh (when given).
// INVALID_FILE_SIZE with GetLastError set when the size cannot be had.
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);

// Copies a regular file to newFileName, replacing an existing file unless failIfExists: the copy
// goes into a temporary file beside the target and is renamed over it, so a failed copy leaves
// the target as it was. The copy takes the source's permission bits (read-only stays read-only);
// a target that is a folder or read-only is not replaced, as on Windows. A target that is a
// symbolic link has the file it points at replaced.
BOOL CopyFileA(const char* existingFileName, const char* newFileName, BOOL failIfExists);
