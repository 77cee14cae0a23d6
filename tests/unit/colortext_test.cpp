#include <gtest/gtest.h>

#include "rtl/codepage.h"
#include "rtl/colortext.h"
#include "rtl/consts.h"
#include "rtl/sysutils.h"

namespace {

// The colour-name table as its users see it: each name with its value.
const struct { const char* name; TColor value; } kTable[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", SystemColor(0)}, {"clBackground", SystemColor(1)},
    {"clActiveCaption", SystemColor(2)}, {"clInactiveCaption", SystemColor(3)},
    {"clMenu", SystemColor(4)}, {"clWindow", SystemColor(5)}, {"clWindowFrame", SystemColor(6)},
    {"clMenuText", SystemColor(7)}, {"clWindowText", SystemColor(8)},
    {"clCaptionText", SystemColor(9)}, {"clActiveBorder", SystemColor(10)},
    {"clInactiveBorder", SystemColor(11)}, {"clAppWorkSpace", SystemColor(12)},
    {"clHighlight", SystemColor(13)}, {"clHighlightText", SystemColor(14)},
    {"clBtnFace", SystemColor(15)}, {"clBtnShadow", SystemColor(16)},
    {"clGrayText", SystemColor(17)}, {"clBtnText", SystemColor(18)},
    {"clInactiveCaptionText", SystemColor(19)}, {"clBtnHighlight", SystemColor(20)},
    {"cl3DDkShadow", SystemColor(21)}, {"cl3DLight", SystemColor(22)},
    {"clInfoText", SystemColor(23)}, {"clInfoBk", SystemColor(24)},
    {"clHotLight", SystemColor(26)}, {"clGradientActiveCaption", SystemColor(27)},
    {"clGradientInactiveCaption", SystemColor(28)}, {"clMenuHighlight", SystemColor(29)},
    {"clMenuBar", SystemColor(30)},
    {"clNone", 0x1FFFFFFF}, {"clDefault", 0x20000000},
};

}  // namespace

TEST(ColorText, EveryTableEntryRoundTrips) {
    ASSERT_EQ(std::size(kTable), 52u);
    for (const auto& entry : kTable) {
        EXPECT_EQ(ColorToString(entry.value), entry.name);
        EXPECT_EQ(StringToColor(entry.name), entry.value) << entry.name;
        AnsiString ident;
        int value = 0;
        EXPECT_TRUE(ColorToIdent(entry.value, ident));
        EXPECT_TRUE(IdentToColor(entry.name, value));
        EXPECT_EQ(value, entry.value);
    }
}

TEST(ColorText, ValuesWithoutEntryAreEightUpperCaseHexDigits) {
    struct Case { TColor value; const char* text; } cases[] = {
        {RGB(0xFF, 0x80, 0x00), "$000080FF"}, {0x00FFFFFE, "$00FFFFFE"}, {1, "$00000001"},
        {SystemColor(25), "$80000019"}, {-1, "$FFFFFFFF"}, {0x7FFFFFFF, "$7FFFFFFF"},
    };
    for (const Case& c : cases) {
        AnsiString ident;
        EXPECT_FALSE(ColorToIdent(c.value, ident));
        EXPECT_EQ(ColorToString(c.value), c.text);
        EXPECT_EQ(StringToColor(c.text), c.value) << c.text;
    }
}

TEST(ColorText, TextsThatGiveWhite) {
    for (const char* text : {"clWhite", "clwhite", "CLWHITE", "16777215", "$00FFFFFF", "$ffffff",
                             "0x00ffffff", "xFFFFFF", "X00FFFFFF", "0XFFFFFF", " 16777215"})
        EXPECT_EQ(StringToColor(text), clWhite) << text;
}

TEST(ColorText, SystemColourTextStaysASystemColour) {
    EXPECT_EQ(StringToColor("$80000005"), clWindow);
    EXPECT_EQ(ColorToString(StringToColor("$80000005")), "clWindow");
    EXPECT_EQ(StringToColor("clBtnFace"), static_cast<TColor>(0x8000000F));
    EXPECT_EQ(StringToColor("-16777216"), static_cast<TColor>(0xFF000000));
}

TEST(ColorText, OtherTextRaisesTheConversionError) {
    for (const char* text : {"white", "#FFFFFF", "", " clWhite", "clWhite ", "clWhit", "cl",
                             "$", "0x", "$100000000", "2147483648", "1,2", "ｃｌＷｈｉｔｅ"}) {
        AnsiString s = Utf8ToAnsi(text);
        try {
            StringToColor(s);
            ADD_FAILURE() << "no error for " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, Format(SInvalidInteger, {s})) << text;
        }
    }
    try {
        StringToColor("white");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'white' は整数ではありません"_cp932);
    }
}
