#include "rtl/inifiles.h"

#include "rtl/consts.h"
#include "rtl/privateprofile.h"
#include "rtl/sysutils.h"

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
    return ReadPrivateProfileString(Section, Ident, Default, FileName);
}

int TIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) {
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

bool TIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
    if (!WritePrivateProfileString(Section, Ident, Value, FileName))
        throw EIniFileException(Format(SIniFileWriteError, {FileName}));
}

void TIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}
