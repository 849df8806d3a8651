#include <gtest/gtest.h>

#include <ctime>
#include <initializer_list>
#include <string>

#include "text/UnitFunc.h"

using UnitFunc::PosFrom;

namespace {

struct Search {
    std::string pattern, text;
    int offset;
    int expected;  // 1-based position, 0 when not found
};

void ExpectPositions(std::initializer_list<Search> searches) {
    for (const Search& s : searches) {
        SCOPED_TRACE(::testing::PrintToString(s.pattern) + " in " + ::testing::PrintToString(s.text) + " from " +
                     std::to_string(s.offset));
        EXPECT_EQ(PosFrom(s.pattern, s.text, s.offset), s.expected);
    }
}

}  // namespace

TEST(PosFrom, FindsAfterTheGivenPosition) {
    ExpectPositions({{".", "a.b.c", 0, 2},
                     {".", "a.b.c", 2, 4},
                     {".", "a.b.c", 4, 0},
                     {".", "a.b.c", -5, 2},
                     {"b.c", "a.b.c", 1, 3}});
}

TEST(PosFrom, EmptyPatternOrTextGivesZero) {
    ExpectPositions({{"", "abc", 0, 0}, {"a", "", 0, 0}, {"abcd", "abc", 0, 0}});
}

TEST(PosFrom, OffsetAtOrBeyondTheEndGivesZero) {
    ExpectPositions({{"c", "abc", 3, 0}, {"c", "abc", 4, 0}, {"c", "abc", 1000000, 0}});
}

TEST(PosFrom, NeverMatchesOnATrailByte) {
    // ア is 0x83 0x41: the byte at 2 is its trail byte.
    ExpectPositions({{"A", "アA", 0, 3},
                     {"A", "ア", 0, 0},
                     // ソ is 0x83 0x5C: its trail byte is not a backslash.
                     {"\\", "ソ\\", 0, 3}});
}

TEST(PosFrom, OffsetOnALeadByteSkipsTheWholeCharacter) {
    ExpectPositions({{".", "ア.x", 1, 3},
                     {"A", "アAA", 1, 3},
                     // Offset on the trail byte: the search starts right after it.
                     {"A", "アAA", 2, 3}});
}

TEST(PosFrom, TrailBytesFollowFromTheRunOfLeadBytesBeforeThem) {
    // 0x83 0x83 0x83 0x41: two characters, ャ (0x83 0x83) and ア (0x83 0x41).
    const std::string text = "\x83\x83\x83\x41";
    ExpectPositions({{"\x83\x41", text, 0, 3},
                     {"A", text, 0, 0},
                     {"\x83", text, 0, 1},
                     {"\x83", text, 1, 3},
                     // Offset 3 is the lead byte of ア, so nothing after it is searched but the next character.
                     {"A", text + "A", 3, 5}});
}

TEST(PosFrom, ZeroByteEndsTheSearchedText) {
    const std::string text("ab\0cd", 5);
    ExpectPositions({{"c", text, 0, 0},
                     {"b", text, 0, 2},
                     // Searched from behind the zero byte, the part searched holds none.
                     {"d", text, 3, 5},
                     // A zero byte after a lead byte is a character of its own, so an offset on it starts the
                     // search right after it.
                     {"A", std::string("\x83\0A", 3), 2, 3},
                     // A zero byte also ends the pattern.
                     {std::string("b\0z", 3), "abc", 0, 2}});
}

TEST(PosFrom, CaseMatters) { ExpectPositions({{"a", "AbA", 0, 0}, {"ﾚｲｱｳﾄ名", "ｺﾏﾝﾄﾞﾚｲｱｳﾄ名", 0, 6}}); }

TEST(PosFrom, ManyRejectedCandidatesStayLinear) {
    // 200,000 characters ア, every "A" a trail byte: classifying each candidate from the
    // start of the text would take billions of steps.
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "ア";
    const std::clock_t start = std::clock();
    EXPECT_EQ(PosFrom("A", text, 0), 0);
    EXPECT_EQ(PosFrom("A", text + "A", 2), 400001);
    EXPECT_LT(std::clock() - start, 2 * CLOCKS_PER_SEC);
}
