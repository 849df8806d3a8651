#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "text/UnitFunc.h"

using UnitFunc::PosFrom;

TEST(PosFrom, FindsAfterTheGivenPosition)
{
    EXPECT_EQ(PosFrom(".", "a.b.c", 0), 2);
    EXPECT_EQ(PosFrom(".", "a.b.c", 2), 4);
    EXPECT_EQ(PosFrom(".", "a.b.c", 4), 0);
    EXPECT_EQ(PosFrom(".", "a.b.c", -5), 2);
    EXPECT_EQ(PosFrom("b.c", "a.b.c", 1), 3);
}

TEST(PosFrom, EmptyPatternOrTextGivesZero)
{
    EXPECT_EQ(PosFrom("", "abc", 0), 0);
    EXPECT_EQ(PosFrom("a", "", 0), 0);
    EXPECT_EQ(PosFrom("abcd", "abc", 0), 0);
}

TEST(PosFrom, OffsetAtOrBeyondTheEndGivesZero)
{
    EXPECT_EQ(PosFrom("c", "abc", 3), 0);
    EXPECT_EQ(PosFrom("c", "abc", 4), 0);
    EXPECT_EQ(PosFrom("c", "abc", 1000000), 0);
}

TEST(PosFrom, NeverMatchesOnATrailByte)
{
    // ア is 0x83 0x41: the byte at 2 is its trail byte.
    EXPECT_EQ(PosFrom("A", "アA", 0), 3);
    EXPECT_EQ(PosFrom("A", "ア", 0), 0);
    // ソ is 0x83 0x5C: its trail byte is not a backslash.
    EXPECT_EQ(PosFrom("\\", "ソ\\", 0), 3);
}

TEST(PosFrom, OffsetOnALeadByteSkipsTheWholeCharacter)
{
    EXPECT_EQ(PosFrom(".", "ア.x", 1), 3);
    EXPECT_EQ(PosFrom("A", "アAA", 1), 3);
    // Offset on the trail byte: the search starts right after it.
    EXPECT_EQ(PosFrom("A", "アAA", 2), 3);
}

TEST(PosFrom, TrailBytesFollowFromTheRunOfLeadBytesBeforeThem)
{
    // 0x83 0x83 0x83 0x41: two characters, ャ (0x83 0x83) and ア (0x83 0x41).
    const std::string text = "\x83\x83\x83\x41";
    EXPECT_EQ(PosFrom("\x83\x41", text, 0), 3);
    EXPECT_EQ(PosFrom("A", text, 0), 0);
    EXPECT_EQ(PosFrom("\x83", text, 0), 1);
    EXPECT_EQ(PosFrom("\x83", text, 1), 3);
    // Offset 3 is the lead byte of ア, so nothing after it is searched but the next character.
    EXPECT_EQ(PosFrom("A", text + "A", 3), 5);
}

TEST(PosFrom, ZeroByteEndsTheSearchedText)
{
    const std::string text("ab\0cd", 5);
    EXPECT_EQ(PosFrom("c", text, 0), 0);
    EXPECT_EQ(PosFrom("b", text, 0), 2);
    // Searched from behind the zero byte, the part searched holds none.
    EXPECT_EQ(PosFrom("d", text, 3), 5);
    // A zero byte after a lead byte is a character of its own, so an offset on it starts the
    // search right after it.
    EXPECT_EQ(PosFrom("A", std::string("\x83\0A", 3), 2), 3);
    // A zero byte also ends the pattern.
    EXPECT_EQ(PosFrom(std::string("b\0z", 3), "abc", 0), 2);
}

TEST(PosFrom, CaseMatters)
{
    EXPECT_EQ(PosFrom("a", "AbA", 0), 0);
    EXPECT_EQ(PosFrom("ﾚｲｱｳﾄ名", "ｺﾏﾝﾄﾞﾚｲｱｳﾄ名", 0), 6);
}

TEST(PosFrom, ManyRejectedCandidatesStayLinear)
{
    // 200,000 characters ア, every "A" a trail byte: classifying each candidate from the
    // start of the text would take billions of steps.
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "ア";
    const std::clock_t start = std::clock();
    EXPECT_EQ(PosFrom("A", text, 0), 0);
    EXPECT_EQ(PosFrom("A", text + "A", 2), 400001);
    EXPECT_LT(std::clock() - start, 2 * CLOCKS_PER_SEC);
}
