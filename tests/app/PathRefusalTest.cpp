#include "app/PathRefusal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DroppedPathFault, LostCharacterOrMoreThan260Bytes) {
    EXPECT_EQ(ClassifyDroppedPath(260, false), PathFault::None);
    EXPECT_EQ(ClassifyDroppedPath(261, false), PathFault::TooLong);
    EXPECT_EQ(ClassifyDroppedPath(12, true), PathFault::LostCharacter);
    EXPECT_EQ(ClassifyDroppedPath(300, true), PathFault::LostCharacter);
}

TEST(DroppedPathFault, AnsiPathHoldingAQuestionMarkLostACharacter) {
    EXPECT_EQ(ClassifyAnsiPath("C:\\d\\?野家.dwg"), PathFault::LostCharacter);
    // 表 ends in 0x5C and ソ in 0x5C too; neither is taken for anything else.
    EXPECT_EQ(ClassifyAnsiPath("C:\\表\\ソ.dwg"), PathFault::None);
    EXPECT_EQ(ClassifyAnsiPath("C:\\" + std::string(257, 'a')), PathFault::None);
    EXPECT_EQ(ClassifyAnsiPath("C:\\" + std::string(258, 'a')), PathFault::TooLong);
}

TEST(PathRefusalText, GivesOnlyTheReasonsThatApply) {
    const PathRefusalText lost = DescribeRefusedPaths({PathFault::LostCharacter});
    EXPECT_NE(lost.intro.find("「?」に変わります"), std::string::npos);
    EXPECT_EQ(lost.intro.find("260 バイト"), std::string::npos);
    const PathRefusalText both = DescribeRefusedPaths({PathFault::TooLong, PathFault::LostCharacter});
    EXPECT_NE(both.intro.find("「?」に変わります"), std::string::npos);
    EXPECT_NE(both.intro.find("260 バイト (全角でおよそ 130 文字) を超えるパスは途中で切れます。"), std::string::npos);
    EXPECT_NE(both.intro.find("短いパスの場所へ移してから"), std::string::npos);
    EXPECT_EQ(both.listed, 2u);
    EXPECT_EQ(both.more, "");
}

TEST(PathRefusalText, ListsTheFirstTenAndCountsTheRest) {
    const std::vector<PathFault> faults(13, PathFault::TooLong);
    const PathRefusalText text = DescribeRefusedPaths(faults);
    EXPECT_EQ(text.listed, 10u);
    EXPECT_EQ(text.more, "ほか 3 件");

    std::vector<std::string> names;
    for (int i = 0; i < 13; ++i) names.push_back(std::string(1, 'n').append(std::to_string(i)));
    EXPECT_EQ(JoinRefusal<std::string>("head\r\n", names, text.listed, text.more),
              "head\r\n\r\nn0\r\nn1\r\nn2\r\nn3\r\nn4\r\nn5\r\nn6\r\nn7\r\nn8\r\nn9\r\nほか 3 件");
    EXPECT_EQ(JoinRefusal<std::wstring>(L"h", {L"a"}, 1, L""), L"h\r\na");
}

}  // namespace
