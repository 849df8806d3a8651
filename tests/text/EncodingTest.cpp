#include "text/Encoding.h"

#include <gtest/gtest.h>

namespace {

// Shift-JIS bytes and the same text as UTF-8 and UTF-16, written as bytes and units.
struct Same {
    const char* why;
    std::string sjis;
    std::string utf8;
    std::u16string utf16;
};

const Same kSame[] = {
    {"empty", "", "", u""},
    {"ASCII with a line break", "open\r\n", "open\r\n", u"open\r\n"},
    {"a second byte 0x5C is no backslash", "C:\\\x95\x5C\\a.dwg", "C:\\\xE8\xA1\xA8\\a.dwg", u"C:\\\u8868\\a.dwg"},
    {"half-width katakana", "\xDA\xB2\xB1\xB3\xC4", "\xEF\xBE\x9A\xEF\xBD\xB2\xEF\xBD\xB1\xEF\xBD\xB3\xEF\xBE\x84",
     u"\uFF9A\uFF72\uFF71\uFF73\uFF84"},
    {"full-width blank and kanji", "\x81\x40\x90\x7D", "\xE3\x80\x80\xE5\x9B\xB3", u"\u3000\u56F3"},
};

TEST(TextEncoding, ShiftJisUtf8AndUtf16RoundTripByteForByte) {
    for (const Same& c : kSame) {
        SCOPED_TRACE(c.why);
        bool lost = true;
        EXPECT_EQ(Utf8FromShiftJis(c.sjis, &lost), c.utf8);
        EXPECT_FALSE(lost);
        EXPECT_EQ(ShiftJisFromUtf8(c.utf8, &lost), c.sjis);
        EXPECT_FALSE(lost);
        EXPECT_EQ(Utf16FromShiftJis(c.sjis, &lost), c.utf16);
        EXPECT_FALSE(lost);
        EXPECT_EQ(ShiftJisFromUtf16(c.utf16, &lost), c.sjis);
        EXPECT_FALSE(lost);
    }
}

TEST(TextEncoding, WhatCannotBeCarriedIsReportedAndTheRestKept) {
    bool lost = false;
    // A lead byte with nothing after it.
    EXPECT_EQ(Utf8FromShiftJis("ab\x81", &lost).substr(0, 2), "ab");
    EXPECT_TRUE(lost);
    // 𠮷 and Hangul have no Shift-JIS form: stand-ins for them, the text around them whole.
    const std::string sjis = ShiftJisFromUtf8("x\xF0\xA0\xAE\xB7y\xED\x95\x9Cz", &lost);
    EXPECT_TRUE(lost);
    EXPECT_TRUE(sjis.starts_with('x') && sjis.find('y') != std::string::npos && sjis.ends_with('z')) << sjis;
    lost = false;
    const std::string fromUnits = ShiftJisFromUtf16(u"a\U00020BB7b", &lost);
    EXPECT_TRUE(lost);
    EXPECT_TRUE(fromUnits.starts_with('a') && fromUnits.ends_with('b') && fromUnits.size() > 2) << fromUnits;
    lost = true;
    ShiftJisFromUtf8("plain", &lost);
    EXPECT_FALSE(lost) << "a flag left set from before";
}

}  // namespace
