// Every build must compile Japanese literals to Shift-JIS; the rest of the program compares
// and writes those bytes.
#include <gtest/gtest.h>

#include <string_view>

TEST(LiteralBytes, KanjiWithBackslashTrailByte) {
    EXPECT_EQ(std::string_view("表"), std::string_view("\x95\x5C"));
    EXPECT_EQ(std::string_view("ソ"), std::string_view("\x83\x5C"));
}

TEST(LiteralBytes, HalfWidthKatakanaStayOneByteEach) {
    EXPECT_EQ(std::string_view("ｺﾏﾝﾄﾞ"), std::string_view("\xBA\xCF\xDD\xC4\xDE"));
    EXPECT_EQ(std::string_view("ﾚｲｱｳﾄ数"), std::string_view("\xDA\xB2\xB1\xB3\xC4\x90\x94"));
}

TEST(LiteralBytes, MessageText) {
    EXPECT_EQ(std::string_view("に書き込めません"),
              std::string_view("\x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1"));
}
