#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/ScriptFile.h"
#include "app/Survey.h"
#include "text/UnitFunc.h"

namespace {

TEST(SurveyScript, FourLinesPerDrawingThenTheEndMarkerPathsQuotedSoBlanksAreNoEnter) {
    EXPECT_EQ(
        SurveyScript({"C:\\a.dwg", "D:\\図 面\\b.dwg"}),
        (LineList{"open", "\"C:\\a.dwg\"", "layout", "?", "open", "\"D:\\図 面\\b.dwg\"", "layout", "?", "OWARI"}));
    EXPECT_EQ(ScriptFileBytes(SurveyScript({"C:\\a b\\x.dwg"})),
              "open\r\n\"C:\\a b\\x.dwg\"\r\nlayout\r\n?\r\nOWARI\r\n");
}

TEST(SurveyScript, NoDrawingsGiveNoLinesAtAll) { EXPECT_TRUE(SurveyScript({}).empty()); }

TEST(SurveyReadOrder, LastDropFirstClosingEachButTheLastThenRestoreAndQuit) {
    const LineList close{"close\r"};
    const LineList quit{"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"};
    struct Case {
        int i, n;
        int row;
        const LineList& commands;
        bool wait;
    };
    const Case cases[] = {
        {0, 3, 3, close, true}, {1, 3, 2, close, true}, {2, 3, 1, quit, false},
        {0, 1, 1, quit, false}, {0, 2, 2, close, true}, {1, 2, 1, quit, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("read " + std::to_string(c.i) + " of " + std::to_string(c.n));
        const SurveyRead read = SurveyReadAt(c.i, c.n);
        EXPECT_EQ(read.row, c.row);
        EXPECT_EQ(read.commands, c.commands);
        EXPECT_EQ(read.waitForNextDrawing, c.wait);
    }
}

// What the command pane holds after "layout" "?", blanks stripped.
constexpr const char* kListing =
    "コマンド:layoutレイアウトオプションを入力[コピー(C)/削除(D)/新規作成(N)/テンプレート(T)/"
    "名前変更(R)/名前を付けて保存(SA)/設定(S)/?]<設定>:?アクティブなレイアウト:Layout1"
    "リストするレイアウト名を入力<*>:*.レイアウト:Modelブロック名:*Model_Space."
    "レイアウト:Layout1ブロック名:*Paper_Space.";

// Entry 0 of that listing: from after "<設定>:" to three bytes past the first "." after it,
// which ends inside the "イ" of the next label.
const std::string kListingEntry0 = std::string("?Layout1リストするレイアウト名を入力<*>:*.レ") + "\x83";

TEST(LayoutListingParser, NamesFollowTheLeadEntry) {
    EXPECT_EQ(ParseLayoutListing(kListing), (LineList{kListingEntry0, "Model", "Layout1"}));
}

TEST(LayoutListingParser, NamesOfTheRawPaneLoseTheirBlanksAndKeepTheirBytes) {
    const std::string pane =
        "コマンド: layout\r\n"
        "レイアウト オプションを入力 [コピー(C)/削除(D)/新規作成(N)/テンプレート(T)/名前変更(R)/"
        "名前を付けて保存(SA)/設定(S)/?] <設定>: ?\r\n"
        "アクティブなレイアウト: Layout1\r\n"
        "リストするレイアウト名を入力 <*>: *.\r\n"
        "レイアウト: 平面 図　A     ブロック名: *Paper_Space.\r\n"
        "レイアウト: ァ表示\tブロック名: *Paper_Space0.\r\n";
    const LineList entries = ParseLayoutListing(UnitFunc::RemoveBlanks(pane));
    EXPECT_EQ(entries, (LineList{kListingEntry0, "平面図A", "ァ表示"}));
    // ァ's second byte is the code of "@", 表's that of "\".
    EXPECT_EQ(entries.at(2), "\x83\x40\x95\x5C\x8E\xA6");
}

TEST(LayoutListingParser, PairsBeforeTheFirstStopAfterThePromptAreSkipped) {
    EXPECT_EQ(ParseLayoutListing("x>:レイアウト:Aブロック名:y.レイアウト:Bブロック名:z."),
              (LineList{std::string("レイアウト:Aブロック名:y.レ") + "\x83", "B"}));
}

TEST(LayoutListingParser, ActiveLayoutLabelIsNoNameLabel) {
    EXPECT_EQ(ParseLayoutListing(">:*.アクティブなレイアウト:Aブロック名:Bレイアウト:Cブロック名"),
              (LineList{"*.Aブ", "C"}));
}

TEST(LayoutListingParser, WithoutPromptEndOnlyTheLeadEntryIsTaken) {
    EXPECT_EQ(ParseLayoutListing("ab.cdeレイアウト:Xブロック名:y."), (LineList{"b.cde"}));
    EXPECT_EQ(ParseLayoutListing(""), (LineList{""}));
}

TEST(LayoutListingParser, WithoutStopAfterThePromptTheScanStartsAtTheBeginning) {
    EXPECT_EQ(ParseLayoutListing("a.b>:レイアウト:Aブロック名:Xレイアウト:Bブロック名"), (LineList{"", "A", "B"}));
    EXPECT_EQ(ParseLayoutListing(">:abcレイアウト:Aブロック名"), (LineList{"a", "A"}));
}

TEST(LayoutListingParser, ListingWithoutLayoutsGivesTheLeadEntryAlone) {
    EXPECT_EQ(ParseLayoutListing("<*>:*."), (LineList{"*."}));
}

TEST(LayoutListingParser, PaneCutShortAfterALabelEndsTheScan) {
    const std::string cut = std::string(kListing) + "レイアウト:Lay";
    EXPECT_EQ(ParseLayoutListing(cut), (LineList{kListingEntry0, "Model", "Layout1"}));
    EXPECT_EQ(ParseLayoutListing(">:.レイアウト:"), (LineList{std::string(".レ") + "\x83"}));
}

TEST(LayoutListingParser, LabelBytesInsideDoubleByteTextAreNoLabel) {
    // 0x88 0x83 is one character; the bytes of "ブロック名" in the name, and those of
    // "レイアウト:" in the block name, begin at its second byte.
    const std::string name = std::string("\x88\x83") + "u" + "ロック名";
    const std::string blockName = std::string("*\x88\x83\x8C\x83") + "C" + "アウト:X";
    EXPECT_EQ(ParseLayoutListing(">:*.レイアウト:" + name + "ブロック名:" + blockName + "ブロック名:*B."),
              (LineList{std::string("*.レ") + "\x83", name}));
}

TEST(LayoutListingParser, LongNamesAndLongGapsAreFoundWhole) {
    // Lengths around a few hundred bytes put the labels at every alignment to the search's
    // steps; the gap before the first label is longer than any one name.
    const std::string gap(1000, 'g');
    for (std::size_t length = 200; length <= 560; ++length) {
        const std::string name(length, 'n');
        const LineList entries =
            ParseLayoutListing(">:." + gap + "レイアウト:" + name + "ブロック名:" + gap + "レイアウト:Bブロック名");
        ASSERT_EQ(entries.size(), 3u) << length;
        EXPECT_EQ(entries[1], name) << length;
        EXPECT_EQ(entries[2], "B") << length;
    }
}

TEST(LayoutListingParser, ZeroByteEndsThePaneForTheSearch) {
    using namespace std::string_literals;
    EXPECT_EQ(ParseLayoutListing(">:.レイアウト:A\0ブロック名"s), (LineList{".レ\x83"s}));
    EXPECT_EQ(ParseLayoutListing(">:.レイアウト:Aブロック名:\0レイアウト:Bブロック名"s), (LineList{".レ\x83"s, "A"}));
}

std::string ManyLayoutsName(int i) {
    char number[16];
    std::snprintf(number, sizeof number, "L%05d", i);
    return number + std::string(60, 'x');
}

TEST(LayoutListingParser, MegabytePaneWithTenThousandLayouts) {
    std::string pane = "<*>:*.";
    for (int i = 0; i < 10000; ++i) {
        pane += "レイアウト:" + ManyLayoutsName(i) + "ブロック名:*Paper_Space" + std::to_string(i) + ".";
    }
    ASSERT_GT(pane.size(), 1'000'000u);
    const LineList entries = ParseLayoutListing(pane);
    ASSERT_EQ(entries.size(), 10001u);
    EXPECT_EQ(entries[1], "L00000" + std::string(60, 'x'));
    EXPECT_EQ(entries[10000], "L09999" + std::string(60, 'x'));
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(entries[i + 1], ManyLayoutsName(i));
    }
}

}  // namespace
