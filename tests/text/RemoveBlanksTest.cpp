#include <gtest/gtest.h>

#include <string>

#include "text/UnitFunc.h"

using UnitFunc::RemoveBlanks;

TEST(RemoveBlanks, EmptyAndAllBlankTextsGiveEmpty)
{
    EXPECT_EQ(RemoveBlanks(""), "");
    EXPECT_EQ(RemoveBlanks(" \t\r\n \x81\x40\x01\x1F"), "");
}

TEST(RemoveBlanks, DropsHalfWidthBlanksAndControlBytes)
{
    EXPECT_EQ(RemoveBlanks("a b\r\nc"), "abc");
    EXPECT_EQ(RemoveBlanks(std::string("x\0y", 3)), "xy");
}

TEST(RemoveBlanks, DropsFullWidthBlankBetweenDoubleByteCharacters)
{
    EXPECT_EQ(RemoveBlanks("ア　イ"), "アイ");
    EXPECT_EQ(RemoveBlanks("ア　イ"), "\x83\x41\x83\x43");
}

TEST(RemoveBlanks, OneByteCharactersOutsideTheLeadRangePassUnchanged)
{
    EXPECT_EQ(RemoveBlanks("ﾚｲｱｳﾄ数"), "ﾚｲｱｳﾄ数");
    EXPECT_EQ(RemoveBlanks("!~\x7F\xA1\xDF\xFE\xFF"), "!~\x7F\xA1\xDF\xFE\xFF");
}

TEST(RemoveBlanks, LeadRangeByteTakesTheNextByteWhateverItIs)
{
    // 0x81 followed by a half-width blank is a pair and is copied, blank included.
    EXPECT_EQ(RemoveBlanks("\x81 a"), "\x81 a");
    // 0x80 and 0xFD are in this operation's lead range although code page 932 has no such leads.
    EXPECT_EQ(RemoveBlanks("\x80\r\xFD\t"), "\x80\r\xFD\t");
    // A pair whose second byte is 0x40 is only a blank after 0x81.
    EXPECT_EQ(RemoveBlanks("\x82\x40"), "\x82\x40");
    // The pairing decides what the following bytes are: 0x81 0x81 is one character, so the
    // 0x40 after it is a plain "@".
    EXPECT_EQ(RemoveBlanks("\x81\x81\x40"), "\x81\x81\x40");
}

TEST(RemoveBlanks, LeadByteAtTheEndIsKeptAlone)
{
    EXPECT_EQ(RemoveBlanks("ab\x83"), "ab\x83");
    EXPECT_EQ(RemoveBlanks(" \xE0"), "\xE0");
}

TEST(RemoveBlanks, CommandPaneOutputBecomesOneRun)
{
    EXPECT_EQ(RemoveBlanks("ｺﾏﾝﾄﾞ: layout\r\n  ﾚｲｱｳﾄ　名 = Model\r\n"), "ｺﾏﾝﾄﾞ:layoutﾚｲｱｳﾄ名=Model");
}
