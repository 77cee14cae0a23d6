// The class library's colour text: a colour is written as the name of the colour-name table
// where its value has one ("clWhite"), otherwise as "$" and eight upper-case hexadecimal digits;
// it is read back from a name in any ASCII letter case or by the integer rules.
#pragma once

#include "rtl/color.h"
#include "rtl/system.h"

// The name of Color's entry in the colour-name table; false when it has none.
bool ColorToIdent(int Color, AnsiString& Ident);
// The value of the table entry named Ident (ASCII letters without regard to case); false if none.
bool IdentToColor(const AnsiString& Ident, int& Color);

AnsiString ColorToString(TColor Color);
// Raises EConvertError "'%s' は整数ではありません" for text that is neither a name nor an integer.
TColor StringToColor(const AnsiString& S);
