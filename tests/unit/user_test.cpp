#include <gtest/gtest.h>

#include "rtl/codepage.h"
#include "win/user.h"

TEST(CharUpperBuffA, LettersOnlyAndDoubleByteCharactersWhole) {
    struct Case { const char* text; const char* upper; } cases[] = {
        {"yes", "YES"}, {"Yes", "YES"}, {"NO", "NO"}, {"a1-z_", "A1-Z_"}, {"", ""},
        {"ａ", "ａ"},    // full-width letter 82 81: left as it is
        {"ソa", "ソA"},  // 83 5C then a
        {"アa", "アA"},  // 83 41: the second byte is no letter to change
        {"ヂ", "ヂ"},    // 83 61: the same
    };
    for (const Case& c : cases) {
        AnsiString text = Utf8ToAnsi(c.text);
        AnsiString expected = Utf8ToAnsi(c.upper);
        EXPECT_EQ(CharUpperBuffA(&text.str()[0], static_cast<DWORD>(text.Length())),
                  static_cast<DWORD>(text.Length()));
        EXPECT_EQ(text, expected) << c.text;
    }
    // Only length bytes are touched.
    char partial[] = "abc";
    EXPECT_EQ(CharUpperBuffA(partial, 2), 2u);
    EXPECT_STREQ(partial, "ABc");
    // A lead byte at the end of the range does not reach beyond it.
    char cut[] = "\x83" "a";
    CharUpperBuffA(cut, 1);
    EXPECT_STREQ(cut, "\x83" "a");
}
