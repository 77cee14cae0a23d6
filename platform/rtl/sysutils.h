// The class library's run-time helpers the programs use: exception classes, message
// formatting and the reading of integers from text.
#pragma once

#include <exception>
#include <initializer_list>

#include "rtl/system.h"

// The class library's exception base class; every error the framework raises derives from it.
class Exception : public std::exception {
public:
    explicit Exception(const AnsiString& message) : Message(message) {}
    static Exception CreateFmt(const AnsiString& format, std::initializer_list<AnsiString> args);
    const char* what() const noexcept override { return Message.c_str(); }
    AnsiString Message;
};

// Text that is no integer or colour.
class EConvertError : public Exception { using Exception::Exception; };
// A stream or file that cannot be opened or created.
class EStreamError : public Exception { using Exception::Exception; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
// An INI file that cannot be written.
class EIniFileException : public Exception { using Exception::Exception; };
// A picture that cannot be loaded.
class EInvalidGraphic : public Exception { using Exception::Exception; };
// A timer the system cannot supply, or a bitmap too large to be held.
class EOutOfResources : public Exception { using Exception::Exception; };

// Format with "%s" places only, filled in order; "%%" is one "%".
AnsiString Format(const AnsiString& format, std::initializer_list<AnsiString> args);

// The text of the application's exception report: the message, with "." added when it is not
// empty and its last character sorts after ".".
AnsiString ExceptionReportText(const AnsiString& message);

// The framework's integer rules: leading blanks skipped; an optional sign and decimal digits in
// the signed 32-bit range, or a hexadecimal prefix "$", "x", "X", "0x", "0X" and hex digits
// taken as a 32-bit pattern; nothing after the digits; the empty text is no integer.
bool TryStrToInt(const AnsiString& text, int& value);
int StrToIntDef(const AnsiString& text, int defaultValue);
// Raises EConvertError "'%s' は整数ではありません" for text that is no integer.
int StrToInt(const AnsiString& text);
