#include "app/BatchFollow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Histories as CAD copies them: the prompt, then what the script typed; CR LF after each line.
const std::string kCommand = "コマンド: ";
const std::string kOpenPrompt = "開く図面ファイル名を入力: ";

std::string History(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The start-up history of CAD's first drawing, with the commands that started the script.
std::vector<std::string> StartUp(const std::string& prompt = kCommand) {
    return {"AutoCAD メニュー ユーティリティ をロードしました。",
            prompt + "COMMANDLINE",
            prompt + "filedia",
            "新しい FILEDIA の値を入力 <1>: 0",
            prompt + "cmddia",
            "新しい CMDDIA の値を入力 <1>: 0",
            prompt + "script",
            "スクリプト ファイル名を入力: test.scr"};
}

// The template "open", "[FULLFILEPATH]", …, "close" marks each drawing by its path.
std::vector<FollowMark> PathMarks(const std::vector<std::string>& paths) {
    std::vector<FollowMark> marks;
    for (std::size_t k = 0; k < paths.size(); ++k) marks.push_back({static_cast<int>(k) + 1, paths[k]});
    return marks;
}

std::vector<std::string> Append(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> Opening(const std::string& path, const std::string& prompt = kCommand) {
    return {prompt + "open", kOpenPrompt + path};
}

const std::vector<std::string> kTail = {kCommand + "new",     kCommand,
                                        kCommand + "filedia", "新しい FILEDIA の値を入力 <0>: 1",
                                        kCommand + "cmddia",  "新しい CMDDIA の値を入力 <0>: 1",
                                        kCommand + "quit"};

const std::vector<std::string> kPaths = {"C:\\d\\a.dwg", "C:\\d\\b.dwg", "C:\\d\\c.dwg"};

TEST(BatchFollow, OpensEchoedInTheFirstDrawingsHistoryFollowTheDropOrder) {
    BatchFollow follow(kPaths, PathMarks(kPaths));
    ASSERT_TRUE(follow.CanFollow());
    std::vector<std::string> first = StartUp();
    follow.SawHistory(History(first));
    EXPECT_EQ(follow.Reached(), 0) << "the start-up commands are no drawing";
    first = Append(first, Opening(kPaths[0]));
    follow.SawHistory(History(first));
    EXPECT_EQ(follow.Reached(), 1);
    // a.dwg is active: its own history names nothing of the batch.
    follow.SawTitles("AutoCAD 2000i - [a.dwg]", "AutoCAD テキスト ウィンドウ - a.dwg");
    follow.SawHistory(History({"図面 \"C:\\d\\a.dwg\" を開きました。", kCommand + "layout"}));
    EXPECT_EQ(follow.Reached(), 1);
    // Closed: the first drawing is active again, with the next open after its old lines.
    follow.SawTitles("AutoCAD 2000i - [Drawing1.dwg]", "AutoCAD テキスト ウィンドウ - Drawing1.dwg");
    first = Append(Append(first, {"図面 a.dwg を閉じました。"}), Opening(kPaths[1]));
    follow.SawHistory(History(first));
    EXPECT_EQ(follow.Reached(), 2);
    EXPECT_FALSE(follow.TailSeen());
}

TEST(BatchFollow, TitlesNameTheActiveDrawingThoughItsOpenWentUnseen) {
    BatchFollow follow(kPaths, PathMarks(kPaths));
    follow.SawTitles("AutoCAD 2000i - [b.dwg]", "AutoCAD テキスト ウィンドウ - b.dwg");
    EXPECT_EQ(follow.Reached(), 2) << "a.dwg went by between two reads";
    follow.SawTitles("AutoCAD 2000i - [a.dwg]", "");
    EXPECT_EQ(follow.Reached(), 2) << "the follow went back";
    follow.SawTitles("", "AutoCAD テキスト ウィンドウ - c.dwg");
    EXPECT_EQ(follow.Reached(), 3);
}

TEST(BatchFollow, HistoryThatWrappedPastItsLimitBetweenTwoReadsCountsWhatItShows) {
    std::vector<std::string> paths;
    for (int k = 1; k <= 300; ++k) paths.push_back("C:\\d\\" + std::to_string(k) + ".dwg");
    BatchFollow follow(paths, PathMarks(paths));
    std::vector<std::string> first = StartUp();
    for (int k = 0; k < 3; ++k) first = Append(first, Opening(paths[k]));
    follow.SawHistory(History(first));
    ASSERT_EQ(follow.Reached(), 3);
    // 400 lines kept: the drawings up to 100 have scrolled out, and with them the old lines.
    std::vector<std::string> kept;
    for (int k = 100; k < 300; ++k) kept = Append(kept, Opening(paths[k]));
    follow.SawHistory(History(kept));
    EXPECT_EQ(follow.Reached(), 300);
}

TEST(BatchFollow, DrawingsWithTheSameNameAreCountedOnePerNewEcho) {
    // Two folders hold plan.dwg; a template that names drawings by file name alone echoes the
    // same text for both, so only a line that came since the last read moves the follow on.
    const std::vector<std::string> paths = {"C:\\x\\plan.dwg", "C:\\y\\other.dwg", "C:\\z\\plan.dwg"};
    const std::vector<FollowMark> marks = {{1, "plan.dwg"}, {2, "other.dwg"}, {3, "plan.dwg"}};
    BatchFollow follow(paths, marks);
    std::vector<std::string> first = Append(StartUp(), {"名前を入力: plan.dwg"});
    follow.SawHistory(History(first));
    EXPECT_EQ(follow.Reached(), 1);
    follow.SawHistory(History(first));
    EXPECT_EQ(follow.Reached(), 1) << "the same line read twice counted twice";
    first.push_back("名前を入力: plan.dwg");
    follow.SawHistory(History(first));
    EXPECT_EQ(follow.Reached(), 3) << "other.dwg scrolled away between the reads; the new plan.dwg is the third";
    // The titles of the same name never move the follow beyond the first of them.
    BatchFollow byTitle(paths, marks);
    byTitle.SawTitles("AutoCAD 2000i - [plan.dwg]", "");
    EXPECT_EQ(byTitle.Reached(), 1);
}

TEST(BatchFollow, NameThatBeginsAnotherIsNoneOfIt) {
    const std::vector<std::string> paths = {"C:\\d\\A-1.dwg", "C:\\d\\A-10.dwg", "C:\\d\\A-100.dwg"};
    BatchFollow byTitle(paths, PathMarks(paths));
    byTitle.SawTitles("AutoCAD 2000i - [A-10.dwg]", "AutoCAD テキスト ウィンドウ - A-10.dwg");
    EXPECT_EQ(byTitle.Reached(), 2);
    // A mark for a file name without its folder: the echo of C:\d\xA-1.dwg is not A-1.dwg's.
    const std::vector<FollowMark> marks = {{1, "A-1.dwg"}, {2, "A-10.dwg"}, {3, "A-100.dwg"}};
    BatchFollow byEcho(paths, marks);
    byEcho.SawHistory(History(Append(StartUp(), {"名前を入力: A-10.dwg"})));
    EXPECT_EQ(byEcho.Reached(), 2);
    BatchFollow notAName(paths, marks);
    notAName.SawHistory(History(Append(StartUp(), {"名前を入力: xA-1.dwg", "名前を入力:A-1.dwg"})));
    EXPECT_EQ(notAName.Reached(), 0);
}

TEST(BatchFollow, ShiftJisNamesWhoseSecondBytesLookLikeSeparatorsOrBrackets) {
    // 表 ends in 0x5C ("\"), ー in 0x5B ("["), ‐ in 0x5D ("]").
    const std::vector<std::string> paths = {"C:\\d\\表\\平面図.dwg", "C:\\d\\データ.dwg", "C:\\d\\x‐"};
    BatchFollow follow(paths, PathMarks(paths));
    follow.SawTitles("AutoCAD 2000i - [平面図.dwg]", "");
    EXPECT_EQ(follow.Reached(), 1) << "the file name was cut inside 表";
    follow.SawTitles("AutoCAD 2000i - [データ.dwg]", "");
    EXPECT_EQ(follow.Reached(), 2);
    // A title cut short at its limit ends in ‐, whose second byte is no closing bracket.
    follow.SawTitles("AutoCAD 2000i - [x‐", "");
    EXPECT_EQ(follow.Reached(), 2);
    follow.SawTitles("AutoCAD 2000i - [x‐]", "");
    EXPECT_EQ(follow.Reached(), 3);
    EXPECT_EQ(ActiveDrawingName("AutoCAD 2000i - [表]", ""), "表");
}

TEST(BatchFollow, HalfWidthPromptsAndQuotedPathsAreEchoesToo) {
    const std::vector<std::string> paths = {"C:\\My Drawings\\a.dwg", "C:\\My Drawings\\b.dwg"};
    const std::vector<FollowMark> marks = {{1, "\"C:\\My Drawings\\a.dwg\""}, {2, "\"C:\\My Drawings\\b.dwg\""}};
    BatchFollow follow(paths, marks);
    const std::string half = "ｺﾏﾝﾄﾞ: ";
    follow.SawHistory(History(Append(StartUp(half), Opening("\"C:\\My Drawings\\b.dwg\"", half))));
    EXPECT_EQ(follow.Reached(), 2);
}

TEST(BatchFollow, PathInsideCadsMessageIsNoEcho) {
    BatchFollow follow(kPaths, PathMarks(kPaths));
    follow.SawHistory(History(Append(Append(StartUp(), Opening(kPaths[0])),
                                     {"図面ファイル \"C:\\d\\c.dwg\" を開けません。", "C:\\d\\c.dwg を開けません"})));
    EXPECT_EQ(follow.Reached(), 1);
}

TEST(BatchFollow, TailIsSeenOnlyAsTheScriptEndsNotInTheStartUpCommands) {
    BatchFollow follow(kPaths, PathMarks(kPaths));
    follow.SawHistory(History(Append(StartUp(), Opening(kPaths[0]))));
    EXPECT_FALSE(follow.TailSeen()) << "filedia 0 and cmddia 0 taken for the tail";
    // The new drawing of the tail has a history of its own.
    follow.SawTitles("AutoCAD 2000i - [Drawing2.dwg]", "");
    follow.SawHistory(History(Append({"新しい図面 Drawing2.dwg を作成しました。"}, kTail)));
    EXPECT_TRUE(follow.TailSeen());
    EXPECT_EQ(follow.Reached(), 3) << "b and c went by unseen, but the tail follows them";
}

TEST(BatchFollow, NewDrawingNamedAfterTheLastIsTheTailsThoughItsEchoesWentUnseen) {
    BatchFollow follow(kPaths, PathMarks(kPaths));
    follow.SawTitles("AutoCAD 2000i - [Drawing1.dwg]", "");
    follow.SawTitles("AutoCAD 2000i - [a.dwg]", "");
    follow.SawTitles("AutoCAD 2000i - [Drawing1.dwg]", "");
    follow.SawTitles("AutoCAD 2000i - [c.dwg]", "");
    EXPECT_FALSE(follow.TailSeen());
    follow.SawTitles("AutoCAD 2000i - [Drawing1.dwg]", "");
    EXPECT_FALSE(follow.TailSeen()) << "the drawing CAD started with, back after a close, taken for the tail's";
    follow.SawTitles("AutoCAD 2000i - [Drawing2.dwg]", "");
    EXPECT_TRUE(follow.TailSeen());
    // Before the last drawing, a new drawing is the template's own.
    BatchFollow early(kPaths, PathMarks(kPaths));
    early.SawTitles("AutoCAD 2000i - [a.dwg]", "");
    early.SawTitles("AutoCAD 2000i - [Drawing2.dwg]", "");
    EXPECT_FALSE(early.TailSeen());
}

TEST(BatchFollow, TemplateWithoutPlaceholdersCannotBeFollowed) {
    BatchFollow follow(kPaths, {});
    EXPECT_FALSE(follow.CanFollow());
    follow.SawTitles("AutoCAD 2000i - [b.dwg]", "");
    EXPECT_EQ(follow.Count(), 3);
}

TEST(BatchFollow, PromptFinishedSinceTheLastReadIsReadOnce) {
    // CAD's copy may end in the prompt, which the input then completes on the same line.
    const std::vector<std::string> paths = {"C:\\f\\1.dwg", "C:\\f\\2.dwg"};
    const std::vector<FollowMark> marks = {{1, "C:\\f"}, {2, "C:\\f"}};
    BatchFollow follow(paths, marks);
    std::vector<std::string> lines = Append(StartUp(), {"フォルダー: C:\\f", "フォルダー: "});
    follow.SawHistory(History(lines));
    ASSERT_EQ(follow.Reached(), 1);
    lines.back() = "フォルダー: C:\\f";
    follow.SawHistory(History(lines));
    EXPECT_EQ(follow.Reached(), 2);
    follow.SawHistory(History(lines));
    EXPECT_EQ(follow.Reached(), 2);
}

TEST(HistoryLines, BreaksAtCrLfCrOrLfWithoutALastEmptyLine) {
    EXPECT_EQ(HistoryLines("a\r\nb\rc\nd\r\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(HistoryLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(HistoryLines("").empty());
}

}  // namespace
