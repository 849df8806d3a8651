#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>

#include "tests/text/CaseTable.h"
#include "text/ShiftJis.h"
#include "text/UnitFunc.h"

using namespace UnitFunc;

TEST(CaptionRule, FirstPlusBecomesLineBreak) {
    ExpectCases<std::string, std::string>(CaptionFromLabel, {
                                                                {"A+B+C", "A\r\nB+C"},
                                                                {"+A", "\r\nA"},
                                                                {"A+", "A\r\n"},
                                                                {"+", "\r\n"},
                                                            });
}

TEST(CaptionRule, WithoutPlusTheLabelIsTheCaption) {
    ExpectCases<std::string, std::string>(CaptionFromLabel, {
                                                                {"", ""},
                                                                {"A", "A"},
                                                                {"印刷＋A3", "印刷＋A3"},
                                                                {"印刷+A3", "印刷\r\nA3"},
                                                            });
}

TEST(NumberRule, Decimal) {
    ExpectCases<std::string, std::optional<std::int32_t>>(StrToInt, {
                                                                        {"3", 3},
                                                                        {"007", 7},
                                                                        {"  +12", 12},
                                                                        {"-1", -1},
                                                                        {"2147483647", INT_MAX},
                                                                        {"-2147483648", INT_MIN},
                                                                        {"00000000000000000000012", 12},
                                                                    });
}

TEST(NumberRule, Hexadecimal) {
    ExpectCases<std::string, std::optional<std::int32_t>>(StrToInt, {
                                                                        {"$10", 16},
                                                                        {"x10", 16},
                                                                        {"X1f", 31},
                                                                        {"0x10", 16},
                                                                        {"0XaB", 171},
                                                                        {"-$10", -16},
                                                                        {"$FFFFFFFF", -1},
                                                                        {"$7FFFFFFF", INT_MAX},
                                                                        {"$80000000", INT_MIN},
                                                                        {"$0000000000FF", 255},
                                                                    });
}

TEST(NumberRule, TextNotUsedUpExactlyFails) {
    for (const char* text : {"",           " ",          "abc",  "3 lines",    "3 ",          "+ 3",
                             "--3",        "+-3",        "\t3",  "3.0",        "$",           "x",
                             "0x",         "$G",         "0x1g", "2147483648", "-2147483649", "99999999999999999999",
                             "$100000000", "$FFFFFFFFF", "１"}) {
        EXPECT_EQ(StrToInt(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(NumberRule, SettingValueWithDefault) {
    EXPECT_EQ(IntFromSetting("0x10", 1), 16);
    EXPECT_EQ(IntFromSetting("0X10", 1), 16);
    EXPECT_EQ(IntFromSetting("$10", 1), 16);
    EXPECT_EQ(IntFromSetting("x10", 1), 16);
    EXPECT_EQ(IntFromSetting("-1", 1), -1);
    EXPECT_EQ(IntFromSetting("0", 1), 0);
    EXPECT_EQ(IntFromSetting("abc", 1), 1);
    EXPECT_EQ(IntFromSetting("3 lines", 1), 1);
    EXPECT_EQ(IntFromSetting("0x", 1), 1);
    EXPECT_EQ(IntFromSetting("0x", 7), 7);
    EXPECT_EQ(IntFromSetting("", 1), 1);
    EXPECT_EQ(IntFromSetting("2147483648", 1), 1);
    EXPECT_EQ(IntFromSetting("-2147483648", 1), INT_MIN);
    // "0x$" becomes "$$": the prefix step runs before the conversion, which then fails.
    EXPECT_EQ(IntFromSetting("0x$1", 5), 5);
}

TEST(ErrorBoxText, FullStopAppendedAfterCharactersAboveFullStop) {
    ExpectCases<std::string, std::string>(ErrorBoxText,
                                          {
                                              {"abc", "abc."},
                                              {"a/", "a/."},
                                              {"C:\\m\\data.ini に書き込めません", "C:\\m\\data.ini に書き込めません."},
                                          });
}

TEST(ErrorBoxText, NoFullStopAfterEmptyOrLowCharacters) {
    ExpectCases<std::string, std::string>(ErrorBoxText, {
                                                            {"", ""},
                                                            {"abc.", "abc."},
                                                            {"abc!", "abc!"},
                                                            {"abc\r\n", "abc\r\n"},
                                                            {"abc ", "abc "},
                                                        });
}

TEST(ErrorBoxText, DoubleByteLastCharacterCountsAsOneCode) {
    ExpectCases<std::string, std::string>(
        ErrorBoxText, {
                          {"表", "表."},
                          // 0x81 0x2E: the last byte alone would be ".", but it is the trail byte of a character.
                          {"a\x81.", "a\x81.."},
                          // ...while after a completed pair the full stop is a character of its own.
                          {"\x81\x81.", "\x81\x81."},
                          {"a\x81", "a\x81."},
                      });
}

TEST(FormatMessage, ReplacesThePlaceholder) {
    EXPECT_EQ(Format("%s に書き込めません", "C:\\表\\data.ini"), "C:\\表\\data.ini に書き込めません");
    EXPECT_EQ(Format("[%s]", "%s"), "[%s]");
    EXPECT_EQ(Format("no placeholder", "x"), "no placeholder");
    EXPECT_EQ(Format("%s", ""), "");
}

TEST(LeadByteTable, CodePage932) {
    for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x00, 0x40, 0x5C, 0x7F, 0x80, 0xA0, 0xA1, 0xDF, 0xFD, 0xFE, 0xFF}) {
        EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(b))) << b;
    }
    // The fixed rule of the stand-in and its log must not drift from the system's table (under
    // Wine the Windows build asks code page 932).
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(IsShiftJisLead(static_cast<unsigned char>(b)), IsLeadByte(static_cast<unsigned char>(b))) << b;
    }
}

TEST(LeadByteTable, TrailRangeLeavesOut0x7FAndBytesAbove0xFC) {
    for (int b : {0x40, 0x5C, 0x7E, 0x80, 0xA0, 0xFC}) EXPECT_TRUE(IsShiftJisTrail(static_cast<unsigned char>(b))) << b;
    for (int b : {0x00, 0x22, 0x3F, 0x7F, 0xFD, 0xFF})
        EXPECT_FALSE(IsShiftJisTrail(static_cast<unsigned char>(b))) << b;
}
