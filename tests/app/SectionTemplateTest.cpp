#include "app/SectionTemplate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A data.ini of its own per test, removed afterwards.
class SectionTemplateFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() / (std::string("marlowen-") + info->name() + ".ini");
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    void Write(const std::string& content) {
        std::ofstream out(path_, std::ios::binary);
        out << content;
    }
    SectionTemplate Read(const char* section) {
        const IniFile ini(path_.string());
        return ReadSectionTemplate(ini, section);
    }

    std::filesystem::path path_;
};

}  // namespace

TEST_F(SectionTemplateFile, MissingTextCountMeansOneLineTheValueOfKeyOne) {
    Write("[Section4]\r\nLabel=x\r\n1=open\r\n2=not read\r\n");
    const SectionTemplate t = Read("4");
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.lines, (LineList{"open"}));
    EXPECT_FALSE(t.tooLong);
}

TEST_F(SectionTemplateFile, MissingKeyGivesAnEmptyLineAndKeysBeyondTheCountAreNotRead) {
    Write("[Section3]\r\nTextCount=3\r\n1=a\r\n3=c\r\n4=d\r\n");
    EXPECT_EQ(Read("3").lines, (LineList{"a", "", "c"}));
}

TEST_F(SectionTemplateFile, OnlyTheNamedSectionIsRead) {
    Write("[Section1]\r\nTextCount=1\r\n1=one\r\n[Section2]\r\nTextCount=2\r\n1=two\r\n2=lines\r\n");
    EXPECT_EQ(Read("2").lines, (LineList{"two", "lines"}));
}

TEST_F(SectionTemplateFile, ZeroOrNegativeCountGivesAnEmptyTemplateAndKeepsTheCount) {
    Write("[Section1]\r\nTextCount=0\r\n1=a\r\n[Section2]\r\nTextCount=-1\r\n1=a\r\n");
    EXPECT_TRUE(Read("1").lines.empty());
    const SectionTemplate negative = Read("2");
    EXPECT_TRUE(negative.lines.empty());
    EXPECT_EQ(negative.count, -1);
}

TEST_F(SectionTemplateFile, NoFileGivesOneEmptyLine) {
    const SectionTemplate t = Read("9");
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.lines, (LineList{""}));
}

TEST_F(SectionTemplateFile, HugeCountIsRefusedAtOnceWithoutReadingKeys) {
    Write("[Section6]\r\nTextCount=2147483647\r\n1=a\r\n");
    const SectionTemplate t = Read("6");
    EXPECT_TRUE(t.tooLong);
    EXPECT_TRUE(t.lines.empty());
    EXPECT_EQ(t.count, 2147483647);
}

TEST_F(SectionTemplateFile, LimitIsTheLastCountAccepted) {
    Write("[Section5]\r\nTextCount=" + std::to_string(kMaxTemplateLines + 1) + "\r\n[Section7]\r\nTextCount=" +
          std::to_string(kMaxTemplateLines) + "\r\n" + std::to_string(kMaxTemplateLines) + "=last\r\n");
    EXPECT_TRUE(Read("5").tooLong);
    const SectionTemplate atLimit = Read("7");
    EXPECT_FALSE(atLimit.tooLong);
    ASSERT_EQ(atLimit.lines.size(), static_cast<std::size_t>(kMaxTemplateLines));
    EXPECT_EQ(atLimit.lines.back(), "last");
}
