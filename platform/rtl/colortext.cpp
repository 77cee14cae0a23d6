#include "rtl/colortext.h"

#include "rtl/consts.h"
#include "rtl/sysutils.h"

namespace {

struct ColorName {
    TColor value;
    const char* name;
};

// Every name and every value occurs once, so either direction of lookup is unambiguous.
constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"},

    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"}, {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"}, {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"}, {clMenuBar, "clMenuBar"},

    {clNone, "clNone"}, {clDefault, "clDefault"},
};
static_assert(sizeof kColorNames / sizeof kColorNames[0] == 52);

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The names are ASCII, so a byte of a double-byte character can never match one of them.
bool SameAsciiText(const AnsiString& text, const char* name) {
    const std::string& s = text.str();
    std::size_t i = 0;
    for (; i < s.size() && name[i]; ++i)
        if (AsciiUpper(s[i]) != AsciiUpper(name[i])) return false;
    return i == s.size() && !name[i];
}

}  // namespace

bool ColorToIdent(int Color, AnsiString& Ident) {
    for (const ColorName& entry : kColorNames)
        if (entry.value == Color) { Ident = entry.name; return true; }
    return false;
}

bool IdentToColor(const AnsiString& Ident, int& Color) {
    for (const ColorName& entry : kColorNames)
        if (SameAsciiText(Ident, entry.name)) { Color = entry.value; return true; }
    return false;
}

AnsiString ColorToString(TColor Color) {
    AnsiString name;
    if (ColorToIdent(Color, name)) return name;
    return "$" + IntToHex(static_cast<unsigned>(Color), 8);
}

TColor StringToColor(const AnsiString& S) {
    int color;
    if (IdentToColor(S, color) || TryStrToInt(S, color)) return color;
    throw EConvertError(Format(SInvalidInteger, {S}));
}
