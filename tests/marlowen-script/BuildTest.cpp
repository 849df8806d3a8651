// marlowen-script build against the cases of the batch run's rules, through a data.ini on
// disk read by the INI-file object, as the window reads it.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Build.h"
#include "LayoutListing.h"
#include "testsupport/ExpectCells.h"
#include "testsupport/TempFolder.h"

namespace {

const std::string kTail = "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n";

class BuildTest : public ::testing::Test {
protected:
    // data.ini with the given lines, each ended by CR LF.
    void WriteIni(std::initializer_list<std::string> lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + "\r\n";
        WriteFileBytes(path_, bytes);
    }
    BuildResult Build(const std::string& section, std::vector<std::string> files,
                      std::optional<std::string> listing = std::nullopt) {
        BuildRequest request;
        request.section = section;
        request.files = std::move(files);
        if (listing) request.layouts = ParseLayoutListingFile(*listing);
        const IniFile ini(path_);
        return BuildScript(ini, request);
    }
    static std::string Notes(const BuildResult& result) {
        std::string all;
        for (const ConsoleText& note : result.notes) all += note.Bytes() + "\n";
        return all;
    }

    TempFolder folder_;
    const std::string path_ = folder_.File("data.ini");
};

TEST_F(BuildTest, EachFileGetsTheTemplateInDropOrderThenTheTail) {
    WriteIni({"[Section3]", "Label=開く", "TextCount=3", "1=open", "2=[FULLFILEPATH]", "3=close"});
    const BuildResult result = Build("3", {"C:\\d\\a.dwg", "C:\\d\\b.dwg"});
    ASSERT_FALSE(result.refused) << result.refusal.Bytes();
    EXPECT_EQ(result.script, "open\r\nC:\\d\\a.dwg\r\nclose\r\nopen\r\nC:\\d\\b.dwg\r\nclose\r\n" + kTail);
    EXPECT_TRUE(result.notes.empty());
}

TEST_F(BuildTest, PlaceholderOrderAndTheTextAroundThem) {
    WriteIni({"[Section1]", "Label=x", "TextCount=6", "1=[FOLDER]\\out.pdf", "2=[FILENAME].bak", "3=[FULLFILENAME].pdf",
              "4=[FOLDER] [FULLFILEPATH]", "5=[fullfilepath]", "6=\"\"表\\[FILENAME]\"\""});
    const BuildResult result = Build("1", {"C:\\Data\\plan.dwg"});
    EXPECT_EQ(result.script,
              "C:\\Data\\out.pdf\r\nplan.dwg.bak\r\nC:\\Data\\plan.pdf\r\n[FOLDER] C:\\Data\\plan.dwg\r\n"
              "[fullfilepath]\r\n\"\x95\x5C\\plan.dwg\"\r\n" +
                  kTail);
}

TEST_F(BuildTest, MissingKeyIsAnEmptyLineAndTextCountZeroGivesTheTailAlone) {
    WriteIni({"[Section1]", "Label=x", "TextCount=3", "1=a", "3=c", "[Section2]", "Label=y", "TextCount=0", "1=a"});
    EXPECT_EQ(Build("1", {"C:\\p.dwg"}).script, "a\r\n\r\nc\r\n" + kTail);
    EXPECT_EQ(Build("2", {"C:\\p.dwg"}).script, kTail);
}

TEST_F(BuildTest, LayoutLoopFromASurveyListing) {
    WriteIni({"[Section1]", "Label=x", "TextCount=8", "1=A [FULLFILEPATH]", "2=[LAYOUTLOOP]", "3=X", "4=[LAYOUTNAME]",
              "5=[LOOPEND]", "6=[FOLDER]\\out", "7=B [FILENAME]", "8=C"});
    const BuildResult result = Build("1", {"D:\\w\\p.dwg"}, "D:\\w\\p.dwg\tL1\tL2\r\n");
    EXPECT_EQ(result.script, "A D:\\w\\p.dwg\r\nX\r\nL1\r\nX\r\nL2\r\nD:\\w\\out\r\nB p.dwg\r\nC\r\n" + kTail);
    EXPECT_TRUE(result.notes.empty()) << Notes(result);
}

TEST_F(BuildTest, LoopLineWithoutUsableRowWritesNothingAndSaysWhy) {
    WriteIni({"[Section1]", "Label=x", "TextCount=3", "1=[LAYOUTLOOP]", "2=[LAYOUTNAME]", "3=[LOOPEND]"});
    // p's row is row 2, below the drop's one file; q has no row; r's row lists no layout.
    const std::string listing = "C:\\r.dwg\nC:\\p.dwg\tL1\n";
    BuildResult result = Build("1", {"C:\\p.dwg"}, listing);
    EXPECT_EQ(result.script, kTail);
    EXPECT_EQ(Notes(result),
              "C:\\p.dwg: レイアウト一覧の 2 行目にありますが、ドロップしたファイルの数 (1) より下の行は"
              "探されないため、ループの行は何も書きません\n");
    result = Build("1", {"C:\\r.dwg", "C:\\q.dwg"}, listing);
    EXPECT_EQ(result.script, kTail);
    EXPECT_EQ(Notes(result),
              "C:\\r.dwg: レイアウト一覧のこの図面の行 (1 行目) にはレイアウトがないため、ループの行は何も書きません\n"
              "C:\\q.dwg: レイアウト一覧にこの図面がないため、ループの行は何も書きません\n");
}

TEST_F(BuildTest, PathWithBlankOutsideQuotesIsNoted) {
    WriteIni({"[Section1]", "Label=x", "TextCount=3", "1=open", "2=[FULLFILEPATH]", "3=\"\"[FOLDER]\\o.pdf\"\""});
    const BuildResult result = Build("1", {"C:\\My Drawings\\a.dwg", "C:\\d\\b.dwg"});
    EXPECT_EQ(result.script,
              "open\r\nC:\\My Drawings\\a.dwg\r\n\"C:\\My Drawings\\o.pdf\"\r\nopen\r\nC:\\d\\b.dwg\r\n"
              "\"C:\\d\\o.pdf\"\r\n" +
                  kTail);
    EXPECT_EQ(Notes(result),
              "C:\\My Drawings\\a.dwg: 空白を含むパスが二重引用符の外に入る行があります ('[FULLFILEPATH]')。"
              "CAD のスクリプトでは空白が Enter になり、2 つの答えに分かれます\n");
}

TEST_F(BuildTest, RefusalsComeWithTheWindowsMessagesAndNoScript) {
    WriteIni({"[Section1]", "TextCount=1", "1=open", "[Section2]", "Label=x", "TextCount=2", "1=[LAYOUTLOOP]", "2=a",
              "[Section3]", "Label=x", "TextCount=10001", "[Section4]", "Label=x", "1=x [LAYOUTLOOP]"});
    const auto refusal = [&](const std::string& section) {
        const BuildResult result = Build(section, {"C:\\p.dwg"});
        EXPECT_TRUE(result.refused) << section;
        EXPECT_EQ(result.script, "") << section;
        return result.refusal.Bytes();
    };
    EXPECT_EQ(refusal("1"), "INIファイルが見つかりません。");
    EXPECT_EQ(refusal("2"), "テンプレートの [LAYOUTLOOP] に対応する [LOOPEND] がありません。");
    EXPECT_EQ(refusal("3"), "テンプレートの行数 (TextCount) が多すぎます。10000 行までにしてください。");
    EXPECT_EQ(refusal("4"), "レイアウト名を取得してください。");
    EXPECT_EQ(refusal("9"), "INIファイルが見つかりません。") << "a section that is not there";
}

TEST_F(BuildTest, PathsAScriptCannotCarryAreRefusedByName) {
    WriteIni({"[Section1]", "Label=x", "1=[FULLFILEPATH]"});
    const std::string longPath = "C:\\" + std::string(258, 'a');  // 261 bytes
    const BuildResult result = Build("1", {"C:\\ok.dwg", "C:\\?.dwg", longPath});
    ASSERT_TRUE(result.refused);
    EXPECT_EQ(result.refusal.Bytes(),
              "次のファイルはパスをスクリプトに正しく書き込めないため、このドロップでは何もしませんでした。\r\n"
              "・ANSI コードページ (Shift-JIS) にない文字を含むパスは、その文字が「?」に変わります。\r\n"
              "・260 バイト (全角でおよそ 130 文字) を超えるパスは途中で切れます。\r\n"
              "ファイルかフォルダーの名前を変えるか、短いパスの場所へ移してから、もう一度ドロップしてください。\r\n"
              "\r\nC:\\?.dwg\r\n" +
                  longPath);
    // The names are paths, kept apart from the message's text for the console.
    EXPECT_TRUE(result.refusal.Pieces()[1].path);
    EXPECT_EQ(result.refusal.Pieces()[1].bytes, "C:\\?.dwg");
    EXPECT_FALSE(Build("1", {"C:\\" + std::string(257, 'a')}).refused) << "260 bytes fit";
}

TEST_F(BuildTest, ScriptTooLargeIsRefusedWithTheRunsError) {
    WriteIni({"[Section1]", "Label=x", "TextCount=10", "1=" + std::string(2047, 'x'), "2=" + std::string(2047, 'x'),
              "3=" + std::string(2047, 'x'), "4=" + std::string(2047, 'x'), "5=" + std::string(2047, 'x'),
              "6=" + std::string(2047, 'x'), "7=" + std::string(2047, 'x'), "8=" + std::string(2047, 'x'),
              "9=" + std::string(2047, 'x'), "10=" + std::string(2047, 'x')});
    const BuildResult result = Build("1", std::vector<std::string>(26300, "C:\\a.dwg"));
    EXPECT_TRUE(result.refused);
    EXPECT_NE(result.refusal.Bytes().find("536870912"), std::string::npos) << result.refusal.Bytes();
    EXPECT_EQ(result.script, "");
}

TEST(LayoutListingParser, RowsFromLinesWithTabSeparatedNames) {
    const StringGridCells table = ParseLayoutListingFile("C:\\a.dwg\tModel\tﾚｲｱｳﾄ1\r\nC:\\b.dwg\n\nC:\\c.dwg\t\tx");
    EXPECT_EQ(table.RowCount(), 5);
    ExpectCells(table,
                {{0, 1, "C:\\a.dwg"}, {1, 1, "2"}, {3, 1, "ﾚｲｱｳﾄ1"}, {0, 2, "C:\\b.dwg"}, {1, 2, "0"}, {0, 3, ""}});
    EXPECT_EQ(table.Cell(1, 4), "2") << "an empty name between two tabs is a name";
    EXPECT_EQ(table.Cell(3, 4), "x");
    EXPECT_EQ(ParseLayoutListingFile("").RowCount(), 1) << "no rows: as before any survey";
}

}  // namespace
