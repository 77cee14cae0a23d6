// Form layouts in the class library's form-text format ("object Name: TClass ... end"):
// phase one parses the text into an ordered tree; phase two (formloader.h) creates the objects
// and applies each property in stored order through its class's setter.
#pragma once

#include <string>
#include <vector>

#include "rtl/system.h"

struct TFormValue {
    enum TKind { vaInt, vaFloat, vaString, vaIdent, vaSet, vaBinary, vaList };
    TKind Kind = vaInt;
    long long Int = 0;
    double Float = 0;
    AnsiString Str;                 // vaString (code page 932) and vaIdent
    std::vector<AnsiString> Set;    // vaSet: the identifiers between "[" and "]"
    std::string Binary;             // vaBinary: the bytes between "{" and "}"
    std::vector<TFormValue> Items;  // vaList: the values between "(" and ")"
};

struct TFormProperty {
    AnsiString Name;  // may be dotted: "Font.Name", "RectColor.DownRight"
    TFormValue Value;
    int Line = 0;
};

struct TFormObject {
    AnsiString Name;
    AnsiString ClassName;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
    int Line = 0;
};

// Parses one layout; source text is UTF-8, strings become code page 932.
// Raises Exception with the line number for text that is no layout.
TFormObject ParseFormText(const std::string& utf8);
