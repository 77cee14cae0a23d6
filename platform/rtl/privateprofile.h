// Stand-ins for GetPrivateProfileStringA and WritePrivateProfileStringA: our own reader and
// writer of INI text in code page 932, with the Windows rules (names without letter case,
// values trimmed and unquoted, update in place, every other line kept byte for byte). A write
// replaces the file through a temporary file and a rename, so it is never torn, and reports
// failure. File names are code page 932 text, handed to the OS as UTF-8; a relative name
// resolves against the current folder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rtl/system.h"

using DWORD = std::uint32_t;

// Reads section/key of fileName into buffer (size bytes, NUL included): the value, or the default
// with its trailing spaces dropped when the file, section or key is missing. At most size - 1
// bytes come back (a double-byte character is never cut in half). Returns the bytes copied.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);

// Writes key=value into section of fileName; false when the file cannot be written, and then
// the file is as it was.
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);

// The buffer size of the class library's INI reading, so values of 2047 bytes at most.
constexpr std::size_t kProfileBufferSize = 2048;

// GetPrivateProfileStringA into a buffer of bufferSize bytes, returning the text read.
AnsiString ReadPrivateProfileString(const AnsiString& section, const AnsiString& key,
                                    const AnsiString& defaultValue, const AnsiString& fileName,
                                    std::size_t bufferSize = kProfileBufferSize);

// WritePrivateProfileStringA on AnsiString arguments.
bool WritePrivateProfileString(const AnsiString& section, const AnsiString& key,
                               const AnsiString& value, const AnsiString& fileName);
