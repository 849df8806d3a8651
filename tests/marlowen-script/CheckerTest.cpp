// The rules of marlowen-script check, one finding at a time, on small data.ini files written
// as Shift-JIS bytes (the literals compile to Shift-JIS).
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Checker.h"

namespace {

// data.ini with the given lines, each ended by CR LF.
std::string Ini(std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

struct Expected {
    int line;
    std::string section;
    std::string words;  // a part of the message that says what was found
};

void ExpectFindings(const std::string& bytes, const std::vector<Expected>& expected) {
    const std::vector<Finding> found = CheckSettings(bytes);
    ASSERT_EQ(found.size(), expected.size()) << [&] {
        std::string all;
        for (const Finding& f : found) all += std::to_string(f.line) + ": " + f.section + ": " + f.message + "\n";
        return all;
    }();
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].line, expected[i].line) << i;
        EXPECT_EQ(found[i].section, expected[i].section) << i;
        EXPECT_NE(found[i].message.find(expected[i].words), std::string::npos) << found[i].message;
    }
}

const std::string kHead = "[Section1]\r\nLabel=印刷\r\n";  // lines 1 and 2
// A template line that the run is followed by and that needs no finding.
const std::string kOpen = "open \"[FULLFILEPATH]\"";
const std::string kUnfollowed = "ファイルの置き換え文字 ([FULLFILEPATH] など) がないため";

TEST(CheckClean, TheExampleOfTheSettingsFileWithQuotedPathHasNoFinding) {
    EXPECT_TRUE(CheckSettings(Ini({"; 図面を開いて閉じる",
                                   "[Program]",
                                   "File=C:\\CAD\\cad.exe",
                                   "[Section1]",
                                   "Label=Print+A3",
                                   "TextCount=3",
                                   "1=open",
                                   "2=\"\"[FULLFILEPATH]\"\"",
                                   "3=close",
                                   "",
                                   "[Section2]",
                                   "Label=ﾚｲｱｳﾄ",
                                   "TextCount=6",
                                   "1=open \"[FULLFILEPATH]\"",
                                   "2=[LAYOUTLOOP]",
                                   "3=-plot",
                                   "4=[LAYOUTNAME]",
                                   "5=[LOOPEND]",
                                   "6=[FILENAME].bak",
                                   "k=",
                                   "[Memo]",
                                   "free text"}))
                    .empty());
    EXPECT_TRUE(CheckSettings("").empty());
}

TEST(CheckLineKeys, KeyBeyondTextCountIsNeverRead) {
    ExpectFindings(kHead + Ini({"TextCount=2", "1=" + kOpen, "2=close", "3=quit", "10=x"}),
                   {{6, "Section1", "キー 3 は読まれる行の数 (TextCount 2)を超えているため読まれません"},
                    {7, "Section1", "キー 10 は"}});
    // Without TextCount one line is read.
    ExpectFindings(kHead + Ini({"1=" + kOpen, "2=close"}), {{4, "Section1", "(TextCount がないので 1 行)"}});
}

TEST(CheckLineKeys, MissingKeysWithinTextCountMakeEmptyLinesReportedAtTheHeader) {
    ExpectFindings(kHead + Ini({"TextCount=3", "1=" + kOpen, "3=close"}),
                   {{1, "Section1", "キー 2 がありません。空の行 (CAD では Enter) になります"}});
    // A run of them is one finding, however large the count.
    ExpectFindings(kHead + Ini({"TextCount=10000", "1=" + kOpen}), {{1, "Section1", "キー 2〜10000 がありません"}});
    // An explicit empty value is an Enter meant by its writer.
    EXPECT_TRUE(CheckSettings(kHead + Ini({"TextCount=2", "1=" + kOpen, "2="})).empty());
}

TEST(CheckLineKeys, LeadingZerosMakeAnotherKey) {
    ExpectFindings(kHead + Ini({"TextCount=2", "01=open", "2=close", "0=x"}),
                   {{1, "Section1", "キー 1 がありません"},
                    {1, "Section1", kUnfollowed},
                    {4, "Section1", "キー '01' は 1 行目のキーではないため読まれません。先頭の 0 を付けずに '1'"},
                    {6, "Section1", "キー '0' は行のキーではない"}});
}

TEST(CheckTextCount, NoNumberReadsOneLine) {
    ExpectFindings(kHead + Ini({"TextCount=3 lines", "1=" + kOpen}),
                   {{3, "Section1", "TextCount '3 lines' は数値ではないため、1 行だけ読まれます"}});
    // The number rules of the settings file: hexadecimal counts.
    EXPECT_TRUE(CheckSettings(kHead + Ini({"TextCount=0x2", "1=" + kOpen, "2=close"})).empty());
}

TEST(CheckTextCount, ZeroOrNegativeWithLineKeysReadsNone) {
    ExpectFindings(kHead + Ini({"TextCount=0", "1=open"}),
                   {{3, "Section1", "TextCount が 0 のため、行のキーは 1 つも"}});
    ExpectFindings(kHead + Ini({"TextCount=-1", "1=open"}), {{3, "Section1", "TextCount が -1 のため"}});
    EXPECT_TRUE(CheckSettings(kHead + Ini({"TextCount=0"})).empty()) << "an empty template meant as such";
}

TEST(CheckTextCount, OverTheLimitIsRefusedByTheButton) {
    ExpectFindings(kHead + Ini({"TextCount=10001", "1=open"}),
                   {{3, "Section1",
                     "TextCount 10001 はプログラムの上限を超えているため、ボタンはドロップを「テンプレートの行数 "
                     "(TextCount) が多すぎます。10000 行までにしてください。」と断ります"}});
}

TEST(CheckMarkers, BlanksAroundAMarkerMakeItNoMarker) {
    ExpectFindings(
        kHead + Ini({"TextCount=4", "1=\"[LAYOUTLOOP] \"", "2=[FILENAME]", "3=　[LOOPEND]　", "4=end"}),
        {{4, "Section1",
          "前後の空白のためループの印になりません。ループは切り出されず、この行はループの行として扱われます"},
         {6, "Section1", "前後の空白のためループの印になりません。この行はそのまま書かれます"}});
}

TEST(CheckMarkers, LoopWithoutEndIsRefusedAndEndWithoutLoopIsWritten) {
    // A refused template gets no other finding for what its run would do.
    ExpectFindings(kHead + Ini({"TextCount=2", "1=[LAYOUTLOOP]", "2=x"}),
                   {{4, "Section1",
                     "[LAYOUTLOOP] の後に [LOOPEND] がないため、ボタンはドロップを「テンプレートの [LAYOUTLOOP] "
                     "に対応する [LOOPEND] がありません。」と断ります"}});
    // The first [LOOPEND] above the [LAYOUTLOOP] makes the block malformed too.
    ExpectFindings(kHead + Ini({"TextCount=3", "1=[LOOPEND]", "2=[LAYOUTLOOP]", "3=[LOOPEND]"}),
                   {{4, "Section1", "[LOOPEND] の前に対応する [LAYOUTLOOP] がない"},
                    {5, "Section1", "[LAYOUTLOOP] の後に [LOOPEND] がない"}});
    ExpectFindings(kHead + Ini({"TextCount=2", "1=" + kOpen, "2=[LOOPEND]"}),
                   {{5, "Section1", "[LOOPEND] の前に対応する [LAYOUTLOOP] がないため、この行はそのまま書かれます"}});
}

TEST(CheckMarkers, SecondLoopBlockIsNotCut) {
    ExpectFindings(kHead + Ini({"TextCount=6", "1=[LAYOUTLOOP]", "2=[LAYOUTNAME]", "3=[LOOPEND]", "4=[LAYOUTLOOP]",
                                "5=-plot", "6=[LOOPEND]"}),
                   {{4, "Section1", kUnfollowed}, {7, "Section1", "2 つ目のループは切り出されません"}});
    // The second block's lines are template lines, whose placeholders are replaced.
    ExpectFindings(kHead + Ini({"TextCount=6", "1=[LAYOUTLOOP]", "2=[LAYOUTNAME]", "3=[LOOPEND]", "4=[LAYOUTLOOP]",
                                "5=[FILENAME]", "6=[LOOPEND]"}),
                   {{7, "Section1", "2 つ目のループは切り出されません"}});
}

TEST(CheckLetterCase, PlaceholdersAndMarkersInSmallLettersAreWrittenUnchanged) {
    ExpectFindings(kHead + Ini({"TextCount=2", "1=open \"[fullfilepath]\"", "2=[Folder]\\x [FOLDER]"}),
                   {{4, "Section1", "'[fullfilepath]' は大文字で書かれていないため [FULLFILEPATH] として扱われず"},
                    {5, "Section1", "'[Folder]' は大文字"},
                    {5, "Section1", "[FOLDER] が二重引用符で囲まれていません"}});
    // The cut finds a marker in small letters, the run does not expand it.
    ExpectFindings(
        kHead + Ini({"TextCount=3", "1=[layoutloop]", "2=[LAYOUTNAME]", "3=[loopend]"}),
        {{4, "Section1", "大文字でないため、ループは切り出されますが展開されません"}, {4, "Section1", kUnfollowed}});
    // A Shift-JIS character's trail byte is no bracket: ー is 0x81 0x5B.
    EXPECT_TRUE(CheckSettings(kHead + Ini({"1=ーfolder] [FILENAME]"})).empty());
}

TEST(CheckPlaceholders, OnlyTheFirstOfTheOrderIsReplaced) {
    ExpectFindings(kHead + Ini({"TextCount=2", "1=-x \"[FOLDER]\" \"[FULLFILEPATH]\"", "2=[FILENAME][FILENAME]"}),
                   {{4, "Section1", "置き換えの印が 2 つあります。置き換えられるのは最初の [FULLFILEPATH] 1 つだけ"},
                    {5, "Section1", "最初の [FILENAME] 1 つだけ"}});
}

TEST(CheckPlaceholders, LayoutNameOutsideTheLoopAndFilePlaceholderInsideAreWrittenUnchanged) {
    ExpectFindings(
        kHead + Ini({"TextCount=5", "1=[LAYOUTNAME]", "2=[LAYOUTLOOP]", "3=-plot [FILENAME]", "4=-plot [LAYOUTNAME]",
                     "5=[LOOPEND]"}),
        {{4, "Section1", "[LAYOUTNAME] がループ ([LAYOUTLOOP] 〜 [LOOPEND]) の外にあるため、そのまま書かれます"},
         {4, "Section1", kUnfollowed},
         {6, "Section1", "ループの中では [FILENAME] は置き換えられず"},
         {7, "Section1", "行全体がレイアウト名 1 つに置き換わります"}});
    ExpectFindings(kHead + Ini({"TextCount=3", "1=[LAYOUTLOOP]", "2=x [LAYOUTLOOP]", "3=[LOOPEND]"}),
                   {{4, "Section1", kUnfollowed}, {5, "Section1", "ループの中の [LAYOUTLOOP] は印にならず"}});
    ExpectFindings(kHead + Ini({"TextCount=1", "1=open [LAYOUTLOOP]"}),
                   {{4, "Section1", "[LAYOUTLOOP] の前後に他の文字があるためループの印になりません"},
                    {4, "Section1", kUnfollowed}});
}

TEST(CheckFollow, TemplateLinesWithoutAReplacedFilePlaceholderGiveTheRunNothingToFollow) {
    ExpectFindings(kHead + Ini({"TextCount=1", "1=qsave"}),
                   {{4, "Section1",
                     "テンプレートの行にファイルの置き換え文字 ([FULLFILEPATH] など) がないため、実行中にどの図面まで"
                     "進んだかがわかりません。ステータス行と記録 (test.csv) に進み具合が出ません"}});
    // Placeholders the run does not replace: in small letters, in the loop body, on a loop line.
    ExpectFindings(kHead + Ini({"TextCount=2", "1=open", "2=\"\"[fullfilepath]\"\""}),
                   {{4, "Section1", kUnfollowed}, {5, "Section1", "'[fullfilepath]' は大文字で書かれていない"}});
    ExpectFindings(kHead + Ini({"TextCount=4", "1=open", "2=[LAYOUTLOOP]", "3=\"\"[FULLFILEPATH]\"\"", "4=[LOOPEND]"}),
                   {{4, "Section1", kUnfollowed}, {6, "Section1", "ループの中では [FULLFILEPATH] は置き換えられず"}});
    ExpectFindings(kHead + Ini({"TextCount=1", "1=open [FILENAME] [LAYOUTLOOP]"}),
                   {{4, "Section1", "[LAYOUTLOOP] の前後に他の文字がある"}, {4, "Section1", kUnfollowed}});
    // A key beyond TextCount is never read; a missing key 1 puts the finding at the header.
    ExpectFindings(kHead + Ini({"1=open", "2=\"\"[FULLFILEPATH]\"\""}),
                   {{3, "Section1", kUnfollowed}, {4, "Section1", "キー 2 は読まれる行の数"}});
    ExpectFindings(kHead + Ini({"TextCount=2", "2=qsave"}),
                   {{1, "Section1", "キー 1 がありません"}, {1, "Section1", kUnfollowed}});
    // Any of the four will do, on any template line.
    EXPECT_TRUE(CheckSettings(kHead + Ini({"TextCount=2", "1=-export", "2=\"\"[FOLDER]\\out.pdf\"\""})).empty());
}

TEST(CheckCadReader, ABlankAtAnEndOfTheLineIsAnEnter) {
    ExpectFindings(
        kHead + Ini({"TextCount=4", "1=\"zoom e \"", "2=' regen'", "3=  trimmed  ", "4=" + kOpen}),
        {{4, "Section1", "行末に空白があります。CAD のスクリプトでは空白が Enter になり、Enter が余分に入ります"},
         {5, "Section1", "行頭に空白があります"}});
}

TEST(CheckCadReader, PathPlaceholderOutsideDoubleQuotesSaysHowToQuote) {
    const std::vector<Finding> found = CheckSettings(kHead + Ini({"TextCount=4", "1=open", "2=\"[FULLFILEPATH]\"",
                                                                  "3=[FOLDER]\\out.pdf", "4=-x [FULLFILENAME].bak y"}));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].line, 5);
    EXPECT_EQ(found[0].message,
              "[FULLFILEPATH] が二重引用符で囲まれていません。CAD のスクリプトでは空白が Enter になり、"
              "空白を含むパスは 2 つの答えに分かれます。値全体を囲む引用符は読み取りで外れます "
              "(2=\"[FULLFILEPATH]\" は [FULLFILEPATH] と読まれます)。2=\"\"[FULLFILEPATH]\"\" のように書いてください");
    EXPECT_NE(found[1].message.find("3=\"\"[FOLDER]\\out.pdf\"\" のように"), std::string::npos) << found[1].message;
    EXPECT_NE(found[2].message.find("4=-x \"[FULLFILENAME].bak\" y のように"), std::string::npos) << found[2].message;
    // The writer's quotes around the path, lost to the reader, are kept by a pair of their own.
    const std::vector<Finding> spans = CheckSettings(kHead + Ini({"1=\"[FOLDER]\" \"[FULLFILEPATH]\""}));
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_NE(spans[1].message.find("(1=\"[FOLDER]\" \"[FULLFILEPATH]\" は [FOLDER]\" \"[FULLFILEPATH] と読まれます)。"
                                    "1=\"\"[FOLDER]\" \"[FULLFILEPATH]\"\" のように"),
              std::string::npos)
        << spans[1].message;
    // A quoted span anywhere in the line will do; the file name alone is no path.
    EXPECT_TRUE(
        CheckSettings(kHead + Ini({"TextCount=2", "1=-plot \"x\" \"[FOLDER]\\a b.pdf\"", "2=[FILENAME]"})).empty());
}

TEST(CheckSections, TemplateWithoutLabelIsRefusedOnEveryDrop) {
    ExpectFindings(
        Ini({"[Section2]", "TextCount=1", "1=new"}),
        {{1, "Section2",
          "Label がないため、このボタンには名前がなく、どのドロップも「INIファイルが見つかりません。」と断られます"}});
    // Nor a second finding for what its run would do.
    ExpectFindings(Ini({"[Section2]", "Label=", "1=new"}), {{2, "Section2", "Label がないため"}});
    EXPECT_TRUE(CheckSettings(Ini({"[Section3]", "Label=+", "TextCount=0"})).empty())
        << "a caption of a line break is a caption";
    ExpectFindings(Ini({"[Section4]", "Label=A", "[Section5]"}),
                   {{1, "Section4", "テンプレート (TextCount と行のキー) がありません"}});
}

TEST(CheckSections, RepeatedSectionOrKeySaysWhichIsRead) {
    ExpectFindings(Ini({"[Section1]", "Label=A", "TextCount=0", "label=B", "[section1]", "Label=C", "[Section5]", "x"}),
                   {{4, "Section1", "キー 'label' は 2 行目にもあります。読まれるのは最初の 2 行目の値です"},
                    {5, "Section1", "[Section1] は 1 行目にもあります。読まれるのは最初の 1 行目のセクションだけ"},
                    {8, "Section5", "この行には = がないため読まれません"}});
}

TEST(CheckEncoding, Utf8ByteOrderMarkAndUtf8WithoutOne) {
    ExpectFindings("\xEF\xBB\xBF" + Ini({"[Program]", "File=C:\\cad.exe"}), {{1, "", "UTF-8 の BOM があります"}});
    // 印刷 in UTF-8, in a file without a mark; a UTF-8 comment before it is passed over.
    ExpectFindings(Ini({"; \xE5\x8D\xB0", "[Section1]", "Label=\xE5\x8D\xB0\xE5\x88\xB7", "TextCount=0"}),
                   {{3, "Section1", "ファイルが UTF-8 で保存されています"}});
    // Only comments hold such bytes: no finding.
    EXPECT_TRUE(CheckSettings(Ini({"; \xE5\x8D\xB0", "[Section1]", "Label=A", "TextCount=0"})).empty());
}

TEST(CheckEncoding, ValueLongerThanARead) {
    ExpectFindings(kHead + Ini({"1=" + std::string(2048, 'x')}),
                   {{3, "Section1", "値が 2048 バイトあり、読み取りでは先頭の 2047 バイトで切れます"},
                    {3, "Section1", kUnfollowed}});
    ExpectFindings(Ini({"[Program]", "File=\"" + std::string(2047, 'x') + "\""}), {});
}

TEST(CheckComments, CommentLinesAreNeverFindings) {
    EXPECT_TRUE(
        CheckSettings(kHead + Ini({"TextCount=1", "; 2=[fullfilepath] ", "  ;no equals", "1=" + kOpen})).empty());
}

}  // namespace
