#include <gtest/gtest.h>

#include <string>

#include "text/UnitFunc.h"

using UnitFunc::RemoveBlanks;

namespace {

struct Case {
    const char* rule;
    std::string text;
    std::string stripped;
};

const Case kCases[] = {
    {"empty and all blank texts give empty", "", ""},
    {"empty and all blank texts give empty", " \t\r\n \x81\x40\x01\x1F", ""},
    {"drops half width blanks and control bytes", "a b\r\nc", "abc"},
    {"drops half width blanks and control bytes", std::string("x\0y", 3), "xy"},
    {"drops full width blank between double byte characters", "ア　イ", "アイ"},
    {"drops full width blank between double byte characters", "ア　イ", "\x83\x41\x83\x43"},
    {"one byte characters outside the lead range pass unchanged", "ﾚｲｱｳﾄ数", "ﾚｲｱｳﾄ数"},
    {"one byte characters outside the lead range pass unchanged", "!~\x7F\xA1\xDF\xFE\xFF", "!~\x7F\xA1\xDF\xFE\xFF"},
    // 0x81 followed by a half-width blank is a pair and is copied, blank included.
    {"lead range byte takes the next byte whatever it is", "\x81 a", "\x81 a"},
    // 0x80 and 0xFD are in this operation's lead range although code page 932 has no such leads.
    {"lead range byte takes the next byte whatever it is", "\x80\r\xFD\t", "\x80\r\xFD\t"},
    // A pair whose second byte is 0x40 is only a blank after 0x81.
    {"lead range byte takes the next byte whatever it is", "\x82\x40", "\x82\x40"},
    // The pairing decides what the following bytes are: 0x81 0x81 is one character, so the
    // 0x40 after it is a plain "@".
    {"lead range byte takes the next byte whatever it is", "\x81\x81\x40", "\x81\x81\x40"},
    {"lead byte at the end is kept alone", "ab\x83", "ab\x83"},
    {"lead byte at the end is kept alone", " \xE0", "\xE0"},
    {"command pane output becomes one run", "ｺﾏﾝﾄﾞ: layout\r\n  ﾚｲｱｳﾄ　名 = Model\r\n", "ｺﾏﾝﾄﾞ:layoutﾚｲｱｳﾄ名=Model"},
};

}  // namespace

TEST(RemoveBlanks, EachCaseOfTheRule) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.rule) + ": " + ::testing::PrintToString(c.text));
        EXPECT_EQ(RemoveBlanks(c.text), c.stripped);
    }
}
