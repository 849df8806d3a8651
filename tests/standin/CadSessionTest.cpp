#include "CadSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <map>

#include "LogFile.h"
#include "SurveyReader.h"
#include "testsupport/StandInLog.h"
#include "testsupport/TempFolder.h"

namespace {

class Session {
public:
    explicit Session(bool halfWidth = false, std::size_t historyLines = kDefaultHistoryLines)
        : session(
              halfWidth,
              [this](const std::string& path) -> std::optional<std::string> {
                  const auto it = files.find(path);
                  if (it == files.end()) return std::nullopt;
                  return it->second;
              },
              [this](const std::string& line) { log.push_back(line); }, historyLines) {}

    // Takes and carries out lines until the input runs dry or the session asks for something,
    // as the window side does; the time each line is busy before it is carried out is kept.
    SessionRequest Run() {
        while (session.CanTakeLine()) {
            if (session.TakeLine() == SessionRequest::Abort) return SessionRequest::Abort;
            if (const unsigned ms = session.BusyBeforeExecute()) busy.push_back(ms);
            const SessionRequest request = session.Execute();
            if (request != SessionRequest::None) return request;
        }
        return SessionRequest::None;
    }

    SessionRequest Type(const std::string& text) {
        session.Type(text);
        return Run();
    }

    // The log's events that begin with prefix, in order.
    std::vector<std::string> Events(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& line : log) {
            if (line.rfind(prefix, 0) == 0) found.push_back(line);
        }
        return found;
    }

    const std::vector<std::string>& Lines() const { return session.Active().history; }
    const std::string& LastLine() const { return Lines().back(); }

    std::map<std::string, std::string> files;
    std::vector<std::string> log;
    std::vector<unsigned> busy;
    CadSession session;
};

Session Started(bool halfWidth = false, std::size_t historyLines = kDefaultHistoryLines) {
    Session s(halfWidth, historyLines);
    s.session.FinishStartup();
    return s;
}

TEST(StandInStartUp, InputWaitsUntilThePromptIsShown) {
    Session s;
    s.Type("new\r");
    EXPECT_EQ(s.session.Active().name, "Drawing1.dwg");
    EXPECT_EQ(s.LastLine(), "AutoCAD メニュー ユーティリティ をロードしました。");
    EXPECT_EQ(s.session.Active().prompt, "");

    s.session.FinishStartup();
    EXPECT_EQ(s.LastLine(), "コマンド: COMMANDLINE");
    EXPECT_EQ(s.session.Active().prompt, "コマンド: ");
    EXPECT_EQ(s.session.History().substr(s.session.History().size() - 23), "コマンド: COMMANDLINE\r\n");

    s.Run();
    EXPECT_EQ(s.session.Active().name, "Drawing2.dwg");
}

TEST(StandInStartUp, HalfWidthPromptIsUsedThroughout) {
    Session s = Started(true);
    EXPECT_EQ(s.LastLine(), "ｺﾏﾝﾄﾞ: COMMANDLINE");
    s.Type("OWARI\r");
    EXPECT_EQ(s.Lines().end()[-2], "ｺﾏﾝﾄﾞ: OWARI");
    EXPECT_EQ(s.session.Active().prompt, "ｺﾏﾝﾄﾞ: ");

    // A quoted path is echoed with its quotes, after the half-width prompt it answered.
    s.files["C:\\My Drawings\\a.dwg"] = "Model\r\n";
    s.Type("filedia\r0\r\"new\"\ropen\r\"C:\\My Drawings\\a.dwg\"\rclose\r");
    const std::vector<std::string> echoes(s.Lines().end() - 8, s.Lines().end() - 2);
    EXPECT_EQ(echoes,
              (std::vector<std::string>{"ｺﾏﾝﾄﾞ: filedia", "新しい FILEDIA の値を入力 <1>: 0", "ｺﾏﾝﾄﾞ: \"new\"",
                                        "不明なコマンド \"\"new\"\"。F1 キーを押すとヘルプを表示します。",
                                        "ｺﾏﾝﾄﾞ: open", "開く図面ファイル名を入力: \"C:\\My Drawings\\a.dwg\""}));
    EXPECT_EQ(s.LastLine(), "ｺﾏﾝﾄﾞ: _open");
}

TEST(StandInCommandLine, TextInPiecesAnswersThePrompts) {
    Session s = Started();
    s.Type("file");
    s.Type("dia\r");
    EXPECT_EQ(s.LastLine(), "コマンド: filedia");
    EXPECT_EQ(s.session.Active().prompt, "新しい FILEDIA の値を入力 <1>: ");
    s.Type("0\rCMDDIA\r0\rfiledia\r");
    const std::vector<std::string> tail(s.Lines().end() - 5, s.Lines().end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"コマンド: filedia", "新しい FILEDIA の値を入力 <1>: 0", "コマンド: CMDDIA",
                                        "新しい CMDDIA の値を入力 <1>: 0", "コマンド: filedia"}));
    EXPECT_EQ(s.session.Active().prompt, "新しい FILEDIA の値を入力 <0>: ");
    EXPECT_EQ(s.session.PaneText(), s.session.History() + "新しい FILEDIA の値を入力 <0>: ");
}

TEST(StandInCommandLine, InvalidValueIsAskedForAgain) {
    Session s = Started();
    s.Type("cmddia\r5\r");
    EXPECT_EQ(s.LastLine(), "0 から 1 までの整数を入力してください。");
    EXPECT_EQ(s.session.Active().prompt, "新しい CMDDIA の値を入力 <1>: ");
    s.Type("0\rcmddia\r\r");
    EXPECT_EQ(s.Lines().end()[-2], "コマンド: cmddia");
    EXPECT_EQ(s.LastLine(), "新しい CMDDIA の値を入力 <0>: ");
}

TEST(StandInCommandLine, UnknownCommandNamesItAndLeavesThePrompt) {
    Session s = Started();
    s.Type("  OWARI \r");
    EXPECT_EQ(s.Lines().end()[-2], "コマンド:   OWARI ");
    EXPECT_EQ(s.LastLine(), "不明なコマンド \"OWARI\"。F1 キーを押すとヘルプを表示します。");
    EXPECT_EQ(s.log.back(), "unknown \"OWARI\"");
}

TEST(StandInCommandLine, EmptyLineOnlyShowsThePromptAgain) {
    Session s = Started();
    s.Type("\r");
    EXPECT_EQ(s.LastLine(), "コマンド: ");
    EXPECT_EQ(s.session.Active().name, "Drawing1.dwg");
}

TEST(StandInCommandLine, QuitAsksToEnd) {
    Session s = Started();
    EXPECT_EQ(s.Type("QUIT\r"), SessionRequest::Quit);
}

// CAD keeps the last lines of each drawing's history, and the pane shows no more of it; the
// drawing's first drop is logged once.
TEST(StandInHistory, EachDrawingKeepsItsOwnLastLines) {
    Session s = Started(false, 4);
    s.Type("a\rb\r");
    EXPECT_EQ(s.Lines(),
              (std::vector<std::string>{"コマンド: a", "不明なコマンド \"a\"。F1 キーを押すとヘルプを表示します。",
                                        "コマンド: b", "不明なコマンド \"b\"。F1 キーを押すとヘルプを表示します。"}));
    EXPECT_EQ(s.session.PaneText(), s.session.History() + "コマンド: ");
    EXPECT_EQ(s.session.History().rfind("コマンド: a\r\n", 0), 0u);

    s.Type("new\rc\r");
    EXPECT_EQ(s.Lines().size(), 3u) << "the new drawing's history starts afresh";
    s.Type("d\r");
    EXPECT_EQ(s.Lines().front(), "コマンド: c");
    s.Type("close\r");
    EXPECT_EQ(s.Lines(),
              (std::vector<std::string>{"不明なコマンド \"b\"。F1 キーを押すとヘルプを表示します。", "コマンド: new",
                                        "図面 Drawing2.dwg を閉じました。", "コマンド: _open"}));
    EXPECT_EQ(s.Events("history-full "), (std::vector<std::string>{"history-full \"Drawing1.dwg\" lines=4",
                                                                   "history-full \"Drawing2.dwg\" lines=4"}));
}

TEST(StandInDialogs, FilediaOneShowsAFileDialogThatCancels) {
    Session s = Started();
    EXPECT_EQ(s.Type("open\rC:\\d\\a.dwg\r"), SessionRequest::FileDialog);
    EXPECT_FALSE(s.session.CanTakeLine());
    s.session.DialogClosed();
    EXPECT_EQ(s.LastLine(), "*キャンセル*");
    // The path typed meanwhile was held back and is now taken as a command.
    s.Run();
    EXPECT_EQ(s.Lines().end()[-2], "コマンド: C:\\d\\a.dwg");
    EXPECT_EQ(s.session.Active().name, "Drawing1.dwg");
}

TEST(StandInDialogs, MissingDrawingShowsTheMessageAndOpensNothing) {
    Session s = Started();
    EXPECT_EQ(s.Type("filedia\r0\ropen\rC:\\d\\missing.dwg\rnew\r"), SessionRequest::MessageWindow);
    EXPECT_EQ(s.session.MessageText(), "図面ファイルを開けません。\r\nC:\\d\\missing.dwg");
    EXPECT_EQ(s.LastLine(), "図面ファイル \"C:\\d\\missing.dwg\" を開けません。");
    EXPECT_EQ(s.session.Active().name, "Drawing1.dwg");
    EXPECT_FALSE(s.session.CanTakeLine());
    s.session.DialogClosed();
    EXPECT_EQ(s.session.Active().prompt, "コマンド: ");
    s.Run();
    EXPECT_EQ(s.session.Active().name, "Drawing2.dwg");
    EXPECT_TRUE(s.Events("script-stopped").empty()) << "no script ran";
}

class StandInSurvey : public ::testing::Test {
protected:
    void SetUp() override {
        s.files["C:\\d\\a.dwg"] = "Model\r\nLayout1\r\nLayout2\r\n";
        s.files["C:\\d\\表.dwg"] = "Model\n平面 図\nA.1\n";
        s.files["test.scr"] =
            "open\r\nC:\\d\\a.dwg\r\nlayout\r\n?\r\nopen\r\nC:\\d\\表.dwg\r\nlayout\r\n?\r\nOWARI\r\n";
        s.session.FinishStartup();
        s.Type("filedia\r0\rcmddia\r0\rscript\rtest.scr\r");
    }
    Session s;
};

TEST_F(StandInSurvey, ScriptOpensEachDrawingAndEndsAtTheMarker) {
    EXPECT_EQ(s.session.Active().name, "表.dwg");
    EXPECT_NE(s.LastLine().find("OWARI"), std::string::npos);
    EXPECT_EQ(
        s.Events("script-line "),
        (std::vector<std::string>{"script-line \"open\"", "script-line \"C:\\\\d\\\\a.dwg\"", "script-line \"layout\"",
                                  "script-line \"?\"", "script-line \"open\"", "script-line \"C:\\\\d\\\\表.dwg\"",
                                  "script-line \"layout\"", "script-line \"?\"", "script-line \"OWARI\""}));
}

TEST_F(StandInSurvey, ListingPrintsEveryLayoutAfterTheFirstDot) {
    const std::vector<std::string> lines(s.Lines().end() - 9, s.Lines().end() - 2);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "コマンド: layout",
                         "レイアウト オプションを入力 [コピー(C)/削除(D)/新規作成(N)/テンプレート(T)/名前変更(R)/"
                         "名前を付けて保存(SA)/設定(S)/?] <設定>: ?",
                         "アクティブなレイアウト: 平面 図",
                         "レイアウト数 3.",
                         "レイアウト: Model  ブロック名: *Model_Space.",
                         "レイアウト: 平面 図  ブロック名: *Paper_Space.",
                         "レイアウト: A.1  ブロック名: *Paper_Space0.",
                     }));
    EXPECT_EQ(survey_reader::LayoutNames(s.session.PaneText()), (std::vector<std::string>{"Model", "平面図", "A.1"}));
}

TEST_F(StandInSurvey, CloseReturnsToTheDrawingOpenedBefore) {
    s.Type("close\r");
    EXPECT_EQ(s.session.Active().name, "a.dwg");
    EXPECT_NE(s.LastLine().find("open"), std::string::npos);
    EXPECT_EQ(s.session.Active().prompt, "コマンド: ");
    EXPECT_EQ(survey_reader::LayoutNames(s.session.PaneText()),
              (std::vector<std::string>{"Model", "Layout1", "Layout2"}));

    s.Type("close\r");
    EXPECT_EQ(s.session.Active().name, "Drawing1.dwg");
    EXPECT_EQ(s.Lines().end()[-2], "図面 a.dwg を閉じました。");
    EXPECT_EQ(s.LastLine(), "コマンド: _open");

    s.Type("close\r");
    EXPECT_EQ(s.session.Active().name, "");
    EXPECT_EQ(s.LastLine(), "コマンド: _open");
    s.Type("close\rlayout\r");
    EXPECT_EQ(s.Lines().end()[-3], "閉じる図面がありません。");
    EXPECT_EQ(s.LastLine(), "図面が開かれていないため、このコマンドは使用できません。");
    s.Type("new\r");
    EXPECT_EQ(s.session.Active().name, "Drawing2.dwg");
}

TEST_F(StandInSurvey, ScriptRunsBeforeTextTypedMeanwhile) {
    s.files["two.scr"] = "layout\n?";
    s.session.Type("script\rtwo.scr\rnew\r");
    s.Run();
    std::vector<std::string> taken;
    for (const std::string& line : s.log) {
        if (line.rfind("input ", 0) == 0 || line.rfind("script-line ", 0) == 0) taken.push_back(line);
    }
    const std::vector<std::string> last(taken.end() - 5, taken.end());
    EXPECT_EQ(last, (std::vector<std::string>{"input \"script\"", "input \"two.scr\"", "script-line \"layout\"",
                                              "script-line \"?\"", "input \"new\""}));
}

TEST_F(StandInSurvey, UnreadableScriptIsReported) {
    s.Type("script\rnone.scr\r");
    EXPECT_EQ(s.LastLine(), "スクリプト ファイル \"none.scr\" を読み込めません。");
    EXPECT_EQ(s.log.back(), "script-failed \"none.scr\"");
}

TEST_F(StandInSurvey, EmptyDrawingListsNoLayouts) {
    s.files["empty.dwg"] = "\r\n  \r\n";
    s.Type("open\r\"empty.dwg\"\rlayout\r?\r");
    EXPECT_EQ(s.session.Active().name, "empty.dwg");
    EXPECT_EQ(s.LastLine(), "レイアウト数 0.");
    EXPECT_TRUE(survey_reader::LayoutNames(s.session.PaneText()).empty());
}

TEST_F(StandInSurvey, DoubleQuotedNamesAreTakenWithoutTheirQuotes) {
    s.files["C:\\My Drawings\\図 1.dwg"] = "Model\r\n";
    s.files["C:\\My Drawings\\run.scr"] = "layout\r\n?\r\n";
    s.Type("open\r  \"C:\\My Drawings\\図 1.dwg\"\rscript\r\"C:\\My Drawings\\run.scr\"\r");
    EXPECT_EQ(s.session.Active().name, "図 1.dwg");
    EXPECT_EQ(s.Lines().front(), "図面 \"C:\\My Drawings\\図 1.dwg\" を開きました。") << "a history of its own";
    EXPECT_NE(
        std::find(s.log.begin(), s.log.end(), "open \"C:\\\\My Drawings\\\\図 1.dwg\" name=\"図 1.dwg\" layouts=1"),
        s.log.end());
    EXPECT_NE(std::find(s.log.begin(), s.log.end(), "script \"C:\\\\My Drawings\\\\run.scr\" lines=2"), s.log.end());
    EXPECT_EQ(s.LastLine(), "レイアウト: Model  ブロック名: *Model_Space.");

    // The path's echo, quotes and blanks as typed, stayed in the drawing it was typed in.
    s.Type("close\r");
    EXPECT_EQ(s.session.Active().name, "表.dwg");
    EXPECT_EQ(s.Lines().end()[-3], "開く図面ファイル名を入力:   \"C:\\My Drawings\\図 1.dwg\"");
}

// A blank in a bare path cuts it, so the open fails as in CAD; the quoted path opens.
TEST_F(StandInSurvey, BlanksOutsideQuotesInScriptLinesAreEnters) {
    s.files["C:\\My Drawings\\a.dwg"] = "Model\r\nLayout1\r\n";
    s.files["blanks.scr"] = "open \"C:\\My Drawings\\a.dwg\"\r\nlayout ?\r\nnew \r\n\r\n";
    s.Type("script\rblanks.scr\r");
    EXPECT_EQ(s.Events("script \"blanks.scr\""), std::vector<std::string>{"script \"blanks.scr\" lines=4"});
    const std::vector<std::string> pieces = s.Events("script-line ");
    EXPECT_EQ(std::vector<std::string>(pieces.end() - 7, pieces.end()),
              (std::vector<std::string>{"script-line \"open\"", "script-line \"\\\"C:\\\\My Drawings\\\\a.dwg\\\"\"",
                                        "script-line \"layout\"", "script-line \"?\"", "script-line \"new\"",
                                        "script-line \"\"", "script-line \"\""}));
    EXPECT_EQ(s.Events("layout-list ").back(), "layout-list \"a.dwg\" count=2");
    EXPECT_EQ(s.session.Active().name, "Drawing2.dwg");

    // Typed input keeps its blanks: a bare path opens.
    s.Type("open\rC:\\My Drawings\\a.dwg\r");
    EXPECT_EQ(s.session.Active().name, "a.dwg");
}

// CAD stops a script whose open fails; what was typed meanwhile runs once the message is closed.
TEST_F(StandInSurvey, FailedOpenDropsTheRestOfTheScriptButNotTypedInput) {
    s.files["C:\\My Drawings\\a.dwg"] = "Model\r\n";
    s.files["bare.scr"] = "open\r\nC:\\My Drawings\\a.dwg\r\nlayout\r\n?\r\nOWARI\r\n";
    s.session.Type("script\rbare.scr\rnew\r");
    EXPECT_EQ(s.Run(), SessionRequest::MessageWindow);
    EXPECT_EQ(s.session.MessageText(), "図面ファイルを開けません。\r\nC:\\My");
    EXPECT_EQ(s.Events("script-stopped"), std::vector<std::string>{"script-stopped lines=4"});
    EXPECT_EQ(s.log.back(), "script-stopped lines=4");
    s.session.DialogClosed();
    s.Run();
    EXPECT_EQ(s.Events("input ").back(), "input \"new\"");
    EXPECT_EQ(s.session.Active().name, "Drawing2.dwg");
    EXPECT_EQ(s.Events("script-line \"OWARI\"").size(), 1u) << "only the first script's marker";

    // A script whose last line is the path that fails stops with nothing left to drop.
    s.files["last.scr"] = "open\r\nmissing.dwg";
    EXPECT_EQ(s.Type("script\rlast.scr\r"), SessionRequest::MessageWindow);
    EXPECT_EQ(s.log.back(), "script-stopped lines=0");
}

TEST_F(StandInSurvey, ExitWordIsTakenButNotCarriedOut) {
    s.session.SetExitWord("Close");
    s.files["end.scr"] = "layouts\r\nCLOSE\r\nnew\r\n";
    s.session.Type("script\rend.scr\r");
    EXPECT_EQ(s.Run(), SessionRequest::Abort);
    EXPECT_EQ(s.log.back(), "script-line \"CLOSE\"");
    EXPECT_EQ(s.session.Active().name, "表.dwg") << "the drawing is not closed";
    EXPECT_EQ(s.Events("unknown ").back(), "unknown \"layouts\"") << "only the whole word ends";

    Session typed = Started();
    typed.session.SetExitWord("quit");
    EXPECT_EQ(typed.Type("new\r Quit\t\rnew\r"), SessionRequest::Abort);
    EXPECT_EQ(typed.session.Active().name, "Drawing2.dwg");
    EXPECT_EQ(typed.log.back(), "input \" Quit\\t\"");
}

// A crash while CAD works on the drawing it was told of: at the first line taken once that
// drawing is open, not before, and without the line's echo.
TEST_F(StandInSurvey, CrashDrawingEndsAtTheFirstLineTakenInIt) {
    s.files["C:\\d\\ア.dwg"] = "Model\r\n";
    s.files["C:\\d\\ヂ.dwg"] = "Model\r\n";
    s.files["crash.scr"] = "open\r\nC:\\d\\ヂ.dwg\r\nlayout\r\n?\r\nopen\r\nC:\\d\\ア.dwg\r\nlayout\r\n?\r\n";
    s.session.SetCrashDrawing("ア.DWG");
    s.session.Type("script\rcrash.scr\r");
    EXPECT_EQ(s.Run(), SessionRequest::Abort);
    EXPECT_EQ(s.Events("layout-list ").back(), "layout-list \"ヂ.dwg\" count=1") << "ヂ is ア with 0x41 in small";
    EXPECT_EQ(std::vector<std::string>(s.log.end() - 3, s.log.end()),
              (std::vector<std::string>{"open \"C:\\\\d\\\\ア.dwg\" name=\"ア.dwg\" layouts=1",
                                        "script-line \"layout\"", "crash \"ア.dwg\""}));
    EXPECT_EQ(s.Lines(), std::vector<std::string>{"図面 \"C:\\d\\ア.dwg\" を開きました。"}) << "no echo";
}

// CAD fails an unreadable drawing as a missing one, though the file is there.
TEST_F(StandInSurvey, UnreadableDrawingFailsToOpenLikeAMissingOne) {
    s.session.SetUnreadableDrawing("A.dwg");
    s.files["C:\\e\\xa.dwg"] = "Model\r\n";
    s.files["fail.scr"] = "open\r\nC:\\e\\xa.dwg\r\nopen\r\n\"C:\\d\\a.dwg\"\r\nlayout\r\n?\r\n";
    s.session.Type("script\rfail.scr\r");
    EXPECT_EQ(s.Run(), SessionRequest::MessageWindow);
    EXPECT_EQ(s.Events("open ").back(), "open \"C:\\\\e\\\\xa.dwg\" name=\"xa.dwg\" layouts=1");
    EXPECT_EQ(s.session.MessageText(), "図面ファイルを開けません。\r\nC:\\d\\a.dwg");
    EXPECT_EQ(s.LastLine(), "図面ファイル \"C:\\d\\a.dwg\" を開けません。");
    EXPECT_EQ(std::vector<std::string>(s.log.end() - 3, s.log.end()),
              (std::vector<std::string>{"open-failed \"C:\\\\d\\\\a.dwg\"",
                                        "message-window \"図面ファイルを開けません。\\r\\nC:\\\\d\\\\a.dwg\"",
                                        "script-stopped lines=2"}));
}

// Busy once, at the first line whose text or file name part is the one given, before it is
// carried out; quotes, blanks and ASCII case aside.
TEST_F(StandInSurvey, BusyLineIsBusyOnceBeforeItIsCarriedOut) {
    const struct {
        const char* busyText;
        const char* typed;
        const char* busyAfter;  // the event before "busy ms=700"
    } cases[] = {
        {"c:\\D\\A.DWG", "open\r  \"C:\\d\\a.dwg\" \rnew\r", "input \"  \\\"C:\\\\d\\\\a.dwg\\\" \""},
        {"a.DWG", "open\rC:\\d\\a.dwg\rclose\ropen\rC:\\d\\a.dwg\rnew\r", "input \"C:\\\\d\\\\a.dwg\""},
        {"表.dwg", "open\r\"C:\\d\\表.dwg\"\rnew\r", "input \"\\\"C:\\\\d\\\\表.dwg\\\"\""},
        {"NEW", "open\rd\\new\rnew\r", "input \"d\\\\new\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.busyText);
        Session t = Started();
        t.files = s.files;
        t.files["d\\new"] = "Model\r\n";
        t.session.SetBusyLine(c.busyText, 700);
        t.Type(std::string("filedia\r0\r") + c.typed);
        EXPECT_EQ(t.busy, std::vector<unsigned>{700});
        const int at = IndexOfLine(t.log, "busy ms=700");
        ASSERT_GT(at, 0);
        EXPECT_EQ(t.log[at - 1], c.busyAfter);
        EXPECT_EQ(t.session.Active().name, "Drawing2.dwg") << "every line was carried out";
    }
    Session none = Started();
    none.session.SetBusyLine("a.dwg", 700);
    none.Type("a.dwg.bak\rxa.dwg\r\"a.dwg\r");
    EXPECT_TRUE(none.busy.empty());
}

TEST_F(StandInSurvey, OtherLayoutOptionIsRefused) {
    s.Type("layout\rS\r");
    EXPECT_EQ(s.LastLine(), "無効なオプションです。");
    EXPECT_EQ(s.session.Active().prompt, "コマンド: ");
}

TEST(StandInScriptLine, EveryBlankOutsideQuotesEndsAPiece) {
    const struct {
        std::string line;
        std::vector<std::string> pieces;
    } cases[] = {
        {"open \"C:\\My Drawings\\a.dwg\"", {"open", "\"C:\\My Drawings\\a.dwg\""}},
        {"C:\\My Drawings\\a.dwg", {"C:\\My", "Drawings\\a.dwg"}},
        {"new ", {"new", ""}},
        {"", {""}},
        {" a  b", {"", "a", "", "b"}},
        {"表 ソ\"x\"", {"表", "ソ\"x\""}},  // trail bytes 0x5C, then a quote
        {"-export \"a b.pdf\" 表 b.dwg", {"-export", "\"a b.pdf\"", "表", "b.dwg"}},
        {"open \"C:\\a b", {"open", "\"C:\\a b"}},  // an unclosed quote keeps the rest
        {"a\tb\x81\x40z", {"a\tb\x81\x40z"}},       // only 0x20 is a blank, not a tab or 　
    };
    for (const auto& c : cases) EXPECT_EQ(SplitScriptLine(c.line), c.pieces) << c.line;
}

TEST(StandInDrawingFile, NamesAreLinesWithoutOuterBlanks) {
    EXPECT_EQ(ParseDrawingFile("Model\r\n Layout 1 \n\n\tB\r\nlast"),
              (std::vector<std::string>{"Model", "Layout 1", "B", "last"}));
    EXPECT_TRUE(ParseDrawingFile("").empty());
}

TEST(StandInDrawingFile, NamesCompareInAnyAsciiCaseButTrailBytesExactly) {
    EXPECT_TRUE(SameIgnoringAsciiCase("Plan-1.DWG", "plan-1.dwg"));
    EXPECT_TRUE(SameIgnoringAsciiCase("ア.DWG", "ア.dwg"));
    EXPECT_FALSE(SameIgnoringAsciiCase("ア.dwg", "ヂ.dwg"));  // 0x83 0x41 and 0x83 0x61
    EXPECT_FALSE(SameIgnoringAsciiCase("Ａ", "ａ"));          // full-width letters are no ASCII
    EXPECT_FALSE(SameIgnoringAsciiCase("a.dwg", "a.dwg "));
}

TEST(StandInDrawingFile, FileNameSkipsTrailBytesThatLookLikeSeparators) {
    EXPECT_EQ(FileNamePart("C:\\d\\表.dwg"), "表.dwg");   // 表 is 0x95 0x5C
    EXPECT_EQ(FileNamePart("C:\\表\\ソ.dwg"), "ソ.dwg");  // ソ is 0x83 0x5C
    EXPECT_EQ(FileNamePart("a.dwg"), "a.dwg");
    EXPECT_EQ(FileNamePart("D:a.dwg"), "a.dwg");
}

// The last lines say how the process ended: a failure with what was thrown, then the exit
// code; nothing written after them, and the lines of a process before (a launcher) kept.
TEST(StandInLogFile, EndIsTheLastLineAndAFailureIsNamedBeforeIt) {
    TempFolder folder;
    const std::string timed = folder.File("timed.log"), plain = folder.File("plain.log");
    WriteFileBytes(timed, "start pid=1\n");
    LogFile timedLog(std::fopen(timed.c_str(), "ab"), [] { return 12.5; });
    timedLog.Write("ready");
    timedLog.End(4, "bad \"size\"");
    timedLog.Write("pane-text bytes=3");
    LogFile plainLog(std::fopen(plain.c_str(), "ab"), nullptr);
    plainLog.End(3);
    plainLog.End(0);
    EXPECT_EQ(ReadFileBytes(timed),
              "start pid=1\nready t=12.500\nfailure \"bad \\\"size\\\"\" t=12.500\nexit 4 t=12.500\n");
    EXPECT_EQ(ReadFileBytes(plain), "exit 3\n");
}

}  // namespace
