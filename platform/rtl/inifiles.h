// The class library's TIniFile: an INI file named by its path, read and written entry by entry
// through the private-profile reader and writer, which open the file at every call.
#pragma once

#include "rtl/classes.h"
#include "rtl/system.h"

class TIniFile : public TObject {
public:
    // Only keeps the name: no file is touched.
    explicit TIniFile(const AnsiString& FileName) : FileName(FileName) {}

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);
    // The integer rules of StrToIntDef; an absent key or text that is no integer gives Default.
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
    // An integer entry: any non-zero value is true.
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);

    // Each raises EIniFileException "%s に書き込めません" with FileName when the write fails.
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);

    const AnsiString FileName;
};
