#include <gtest/gtest.h>

#include <string>

#include "tests/text/CaseTable.h"
#include "text/UnitFunc.h"

using UnitFunc::RemoveBlanks;

TEST(RemoveBlanks, EmptyAndAllBlankTextsGiveEmpty)
{
    ExpectCases<std::string, std::string>(RemoveBlanks, {
        {"", ""},
        {" \t\r\n \x81\x40\x01\x1F", ""},
    });
}

TEST(RemoveBlanks, DropsHalfWidthBlanksAndControlBytes)
{
    ExpectCases<std::string, std::string>(RemoveBlanks, {
        {"a b\r\nc", "abc"},
        {std::string("x\0y", 3), "xy"},
    });
}

TEST(RemoveBlanks, DropsFullWidthBlankBetweenDoubleByteCharacters)
{
    ExpectCases<std::string, std::string>(RemoveBlanks, {
        {"ア　イ", "アイ"},
        {"ア　イ", "\x83\x41\x83\x43"},
    });
}

TEST(RemoveBlanks, OneByteCharactersOutsideTheLeadRangePassUnchanged)
{
    ExpectCases<std::string, std::string>(RemoveBlanks, {
        {"ﾚｲｱｳﾄ数", "ﾚｲｱｳﾄ数"},
        {"!~\x7F\xA1\xDF\xFE\xFF", "!~\x7F\xA1\xDF\xFE\xFF"},
    });
}

TEST(RemoveBlanks, LeadRangeByteTakesTheNextByteWhateverItIs)
{
    ExpectCases<std::string, std::string>(RemoveBlanks, {
        // 0x81 followed by a half-width blank is a pair and is copied, blank included.
        {"\x81 a", "\x81 a"},
        // 0x80 and 0xFD are in this operation's lead range although code page 932 has no such leads.
        {"\x80\r\xFD\t", "\x80\r\xFD\t"},
        // A pair whose second byte is 0x40 is only a blank after 0x81.
        {"\x82\x40", "\x82\x40"},
        // The pairing decides what the following bytes are: 0x81 0x81 is one character, so the
        // 0x40 after it is a plain "@".
        {"\x81\x81\x40", "\x81\x81\x40"},
    });
}

TEST(RemoveBlanks, LeadByteAtTheEndIsKeptAlone)
{
    ExpectCases<std::string, std::string>(RemoveBlanks, {
        {"ab\x83", "ab\x83"},
        {" \xE0", "\xE0"},
    });
}

TEST(RemoveBlanks, CommandPaneOutputBecomesOneRun)
{
    EXPECT_EQ(RemoveBlanks("ｺﾏﾝﾄﾞ: layout\r\n  ﾚｲｱｳﾄ　名 = Model\r\n"), "ｺﾏﾝﾄﾞ:layoutﾚｲｱｳﾄ名=Model");
}
