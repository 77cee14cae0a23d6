// Conversion between code page 932 and the UTF encodings at the edges of the programs
// (file names, process arguments, Qt text). Stands in for MultiByteToWideChar and
// WideCharToMultiByte; done with glibc iconv ("CP932").
#pragma once

#include <string>
#include <string_view>

#include "rtl/system.h"

// A character that code page 932 lacks becomes its default character "?".
AnsiString Utf8ToAnsi(std::string_view utf8);
AnsiString Utf16ToAnsi(std::u16string_view utf16);

// A byte sequence that is no code page 932 character becomes U+30FB, as Windows does.
std::string AnsiToUtf8(const AnsiString& ansi);
std::u16string AnsiToUtf16(const AnsiString& ansi);
