#include <gtest/gtest.h>

#include "rtl/codepage.h"
#include "rtl/sysutils.h"

TEST(CodePage, JapaneseLiteralsBecomeCodePage932Bytes) {
    EXPECT_EQ("ソ"_cp932.str(), "\x83\x5C");
    EXPECT_EQ("表"_cp932.str(), "\x95\x5C");
    EXPECT_EQ(AnsiToUtf8("明朝"_cp932), "明朝");
}

TEST(CodePage, MissingCharactersBecomeTheDefaultCharacter) {
    EXPECT_EQ(Utf8ToAnsi("a\xF0\x9F\x98\x80z").str(), "a?z");  // an emoji
    EXPECT_EQ(Utf8ToAnsi("a\xFFz").str(), "a?z");              // no UTF-8 at all
    EXPECT_EQ(AnsiToUtf8(AnsiString("a\x81", 2)), "a\xE3\x83\xBB");  // a lone lead byte
    EXPECT_EQ(AnsiToUtf16("A表"_cp932), u"A表");
    EXPECT_EQ(Utf16ToAnsi(u"表x").str(), "\x95\x5Cx");
}

TEST(ExceptionReport, FullStopRule) {
    struct Case { AnsiString message, shown; } cases[] = {
        {"", ""}, {"abc", "abc."}, {"abc.", "abc."}, {"abc-", "abc-"}, {"12", "12."},
        {"書き込めません"_cp932, "書き込めません."_cp932}, {"ソ"_cp932, "ソ."_cp932},
    };
    for (const Case& c : cases) EXPECT_EQ(ExceptionReportText(c.message), c.shown) << c.message.str();
}

TEST(IntegerRules, Table) {
    struct Case { const char* text; bool ok; int value; } cases[] = {
        {"0", true, 0}, {"10", true, 10}, {"-1", true, -1}, {"+7", true, 7}, {"  3", true, 3},
        {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0}, {"-2147483649", false, 0},
        {"$10", true, 16}, {"x10", true, 16}, {"X1f", true, 31}, {"0x10", true, 16},
        {"0X00ffffff", true, 0xFFFFFF}, {"$FFFFFFFF", true, -1}, {"$80000005", true, -2147483643},
        {"$000000001", true, 1}, {"$100000000", false, 0}, {"-$10", true, 16},
        {"", false, 0}, {" ", false, 0}, {"+", false, 0}, {"-", false, 0}, {"$", false, 0},
        {"0x", false, 0}, {"3 ", false, 0}, {"abc", false, 0}, {"1e3", false, 0},
        {"#FFFFFF", false, 0}, {"00x1", false, 0}, {"\t1", false, 0},
    };
    for (const Case& c : cases) {
        int value = 12345;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
        if (c.ok) { EXPECT_EQ(value, c.value) << c.text; }
    }
    EXPECT_EQ(StrToIntDef("abc", 10), 10);
    try {
        StrToInt("white");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'white' は整数ではありません"_cp932);
    }
}

TEST(CodePage, ALoneHighSurrogateIsDroppedAloneNotWithTheCharacterAfterIt) {
    const char16_t lone[] = {0xD800, u'a', 0};
    EXPECT_EQ(Utf16ToAnsi(lone).str(), "?a");
}
