#include "cadlink/Acad8Ctrl.h"

#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "text/AppError.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kCadProcess = 4242;
const std::string kMainClass = "Afx:00400000:8:10011:0:2b0555";
const std::string kTextClass = "Afx:00400000:b:10011:6:0:0";
const std::string kTextTitle = "AutoCAD テキスト ウィンドウ - Drawing1.dwg";

struct Cad {
    WindowHandle main;
    WindowHandle text;
    WindowHandle history;
    WindowHandle command;
};

// CAD as it shows itself: a main window and a text window whose panes sit below an
// untitled frame.
Cad AddCad(FakeDesktop& desktop, std::uint32_t processId = kCadProcess) {
    Cad cad;
    cad.main = desktop.AddTopLevel("AutoCAD 2008 - [Drawing1.dwg]", kMainClass, processId);
    cad.text = desktop.AddTopLevel(kTextTitle, kTextClass, processId);
    const WindowHandle frame = desktop.AddChild(cad.text, "", "Afx:00400000:0");
    cad.history = desktop.AddChild(frame, "Headlands", "Edit");
    cad.command = desktop.AddChild(frame, "MountTam", "Edit");
    return cad;
}

Bytes BytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

// ---- Main window ----

TEST(MainWindowRule, TitleBeginsWithAutoCadBlankOrAutodeskBlank) {
    FakeDesktop desktop;
    desktop.AddTopLevel("AutoCAD", kMainClass, 1);
    desktop.AddTopLevel("AutoCAD-2008", kMainClass, 2);
    desktop.AddTopLevel("Drawing AutoCAD 2008", kMainClass, 3);
    desktop.AddTopLevel("autocad 2008", kMainClass, 4);
    const WindowHandle main = desktop.AddTopLevel("Autodesk DWG TrueView", kMainClass, 5);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_FALSE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadMainWnd, main);
    EXPECT_EQ(ctrl.AcadProcessId, 5u);
}

TEST(MainWindowRule, TextWindowClassIsNeverTheMainWindow) {
    FakeDesktop desktop;
    desktop.AddTopLevel("AutoCAD 2008", kTextClass, 1);
    desktop.AddTopLevel("AutoCAD 2008", "Afx:00400000:8", 2);
    const WindowHandle main = desktop.AddTopLevel("AutoCAD 2008", kMainClass, 3);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ctrl.FindAcadWindows();
    EXPECT_EQ(ctrl.AcadMainWnd, main);
}

TEST(MainWindowRule, FirstInWalkingOrderDecidesTheProcessAndStopsTheWalk) {
    FakeDesktop desktop;
    const Cad first = AddCad(desktop, 1);
    const Cad second = AddCad(desktop, 2);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadMainWnd, first.main);
    EXPECT_EQ(ctrl.AcadTextWnd, first.text);
    EXPECT_EQ(ctrl.AcadProcessId, 1u);
    // The main-window walk stopped at its match; the text-window walk began anew.
    ASSERT_GE(desktop.visited.size(), 2u);
    EXPECT_EQ(desktop.visited[0], first.main);
    EXPECT_EQ(desktop.visited[1], first.main);
    EXPECT_EQ(std::count(desktop.visited.begin(), desktop.visited.end(), second.text), 0);
}

// ---- Text window ----

TEST(TextWindowRule, NeedsAutoCadTitleTextWindowWordsAndTextClass) {
    FakeDesktop desktop;
    desktop.AddTopLevel("AutoCAD 2008", kMainClass, kCadProcess);
    desktop.AddTopLevel("AutoCADテキスト ウィンドウ", kTextClass, kCadProcess);
    desktop.AddTopLevel("Autodesk テキスト ウィンドウ", kTextClass, kCadProcess);
    desktop.AddTopLevel("AutoCAD テキストウィンドウ", kTextClass, kCadProcess);
    desktop.AddTopLevel(kTextTitle, kMainClass, kCadProcess);
    const WindowHandle text = desktop.AddTopLevel(kTextTitle, kTextClass, kCadProcess);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadTextWnd, text);
}

TEST(TextWindowRule, TextWindowOfAnotherProcessIsNotTaken) {
    FakeDesktop desktop;
    const WindowHandle main = desktop.AddTopLevel("AutoCAD 2008", kMainClass, 1);
    desktop.AddTopLevel("AutoCAD 2008", kMainClass, 2);
    desktop.AddTopLevel(kTextTitle, kTextClass, 2);
    const WindowHandle text = desktop.AddTopLevel(kTextTitle, kTextClass, 1);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadMainWnd, main);
    EXPECT_EQ(ctrl.AcadTextWnd, text);
}

TEST(TextWindowRule, ProcessOfAnEarlierSearchStillFindsTheTextWindow) {
    FakeDesktop desktop;
    const Cad cad = AddCad(desktop);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ASSERT_TRUE(ctrl.FindAcadWindows());
    desktop.Destroy(cad.main);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadMainWnd, 0u);
    EXPECT_EQ(ctrl.AcadTextWnd, cad.text);
    EXPECT_EQ(ctrl.CommandPaneWnd, cad.command);
    EXPECT_EQ(ctrl.AcadProcessId, kCadProcess);
}

TEST(TextWindowRule, NoMainWindowEverFoundFindsNoTextWindow) {
    FakeDesktop desktop;
    desktop.AddTopLevel(kTextTitle, kTextClass, kCadProcess);
    desktop.AddTopLevel(kTextTitle, kTextClass, 0);  // process 0 belongs to no window
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_FALSE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadTextWnd, 0u);
}

TEST(TextWindowRule, RestartedCadIsPickedUpByItsNewProcess) {
    FakeDesktop desktop;
    const Cad old = AddCad(desktop, 1);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ASSERT_TRUE(ctrl.FindAcadWindows());
    desktop.Destroy(old.main);
    desktop.Destroy(old.text);
    const Cad fresh = AddCad(desktop, 2);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadProcessId, 2u);
    EXPECT_EQ(ctrl.AcadTextWnd, fresh.text);
}

TEST(TextWindowRule, OnlyTheFirst254BytesOfATitleAreCompared) {
    const std::string words = "テキスト ウィンドウ";
    ASSERT_EQ(words.size(), 19u);  // Shift-JIS: eight double-byte characters and a blank
    for (std::size_t padding : {227u, 228u}) {
        FakeDesktop desktop;
        desktop.AddTopLevel("AutoCAD 2008", kMainClass, kCadProcess);
        const std::string title = "AutoCAD " + std::string(padding, 'x') + words;
        desktop.AddTopLevel(title, kTextClass, kCadProcess);
        Acad8Ctrl ctrl(desktop, desktop.clipboard);
        EXPECT_EQ(ctrl.FindAcadWindows(), title.size() <= 254) << "title of " << title.size() << " bytes";
    }
}

// ---- The run's CAD only ----

TEST(DiscoveryScope, TakesOnlyTheScopesProcessWhereverItStandsInTheWalk) {
    FakeDesktop desktop;
    const Cad operators = AddCad(desktop, 1);
    const Cad runs = AddCad(desktop, 2);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ctrl.SetScope([](std::uint32_t process) { return process == 2; });
    const CadWindows found = ctrl.FindCadWindows();
    EXPECT_EQ(found.main, runs.main);
    EXPECT_EQ(found.text, runs.text);
    EXPECT_EQ(found.commandPane, runs.command);
    EXPECT_EQ(found.processId, 2u);
    EXPECT_EQ(found.mainTitle, "AutoCAD 2008 - [Drawing1.dwg]");
    EXPECT_EQ(found.textTitle, kTextTitle);
    EXPECT_NE(ctrl.AcadMainWnd, operators.main);
}

TEST(DiscoveryScope, ProcessCarriedFromBeforeTheScopeIsNotLookedAt) {
    FakeDesktop desktop;
    const Cad operators = AddCad(desktop, 1);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ASSERT_TRUE(ctrl.FindAcadWindows());
    // The run's CAD has no windows yet: the operator's text window must not stand in for it.
    ctrl.SetScope([](std::uint32_t process) { return process == 2; });
    EXPECT_FALSE(ctrl.FindCadWindows().Found());
    EXPECT_FALSE(ctrl.SendAcadCommand("quit\r", false));
    EXPECT_EQ(ctrl.ReadCommandPane(), "");
    EXPECT_EQ(ctrl.ReadHistory(ctrl.FindCadWindows()).status, HistoryRead::Status::NoCad);
    EXPECT_TRUE(desktop.messages.empty()) << "the operator's CAD was sent a message";
    // Without a scope, the operator's CAD is found as before.
    ctrl.SetScope(nullptr);
    EXPECT_EQ(ctrl.FindCadWindows().text, operators.text);
}

TEST(DiscoveryScope, CommandsAndPaneReadsReachOnlyTheRunsCad) {
    FakeDesktop desktop;
    const Cad operators = AddCad(desktop, 1);
    const Cad runs = AddCad(desktop, 2);
    desktop.At(operators.command).content = "operator";
    desktop.At(runs.command).content = "run";
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ctrl.SetScope([](std::uint32_t process) { return process == 2; });
    EXPECT_TRUE(ctrl.SendAcadCommand("close\r", ctrl.IsAcadUnicode()));
    EXPECT_EQ(ctrl.ReadCommandPane(), "run");
    EXPECT_EQ(desktop.SentTo(runs.main).size(), 2u);
    EXPECT_TRUE(desktop.SentTo(operators.main).empty());
    EXPECT_TRUE(desktop.SentTo(operators.command).empty());
}

TEST(CadMessageWindow, OnlyTheMessageOfThatCadsProcessCounts) {
    FakeDesktop desktop;
    AddCad(desktop, 1);
    AddCad(desktop, 2);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ctrl.SetScope([](std::uint32_t process) { return process == 2; });
    const CadWindows runs = ctrl.FindCadWindows();
    desktop.AddTopLevel("AutoCAD メッセージ", "#32770", 1);
    desktop.AddTopLevel("AutoCAD メッセージ - x", "#32770", 2);
    EXPECT_FALSE(ctrl.ShowsMessage(runs)) << "the operator's CAD's message, or another title";
    desktop.AddTopLevel("AutoCAD メッセージ", "StandInDialog", 2);
    EXPECT_TRUE(ctrl.ShowsMessage(runs));
    EXPECT_FALSE(ctrl.ShowsMessage(CadWindows{}));
}

// ---- Panes of the text window ----

TEST(TextWindowPanes, FoundAmongAllDescendants) {
    FakeDesktop desktop;
    const Cad cad = AddCad(desktop);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.HistoryPaneWnd, cad.history);
    EXPECT_EQ(ctrl.CommandPaneWnd, cad.command);
}

TEST(TextWindowPanes, TitlesMustBeEqual) {
    FakeDesktop desktop;
    desktop.AddTopLevel("AutoCAD 2008", kMainClass, kCadProcess);
    const WindowHandle text = desktop.AddTopLevel(kTextTitle, kTextClass, kCadProcess);
    desktop.AddChild(text, "Headlands2");
    desktop.AddChild(text, "MountTam ");
    desktop.AddChild(text, " Headlands");
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.HistoryPaneWnd, 0u);
    EXPECT_EQ(ctrl.CommandPaneWnd, 0u);
}

TEST(TextWindowPanes, LaterHistoryPaneOverwritesUntilBothAreFound) {
    FakeDesktop desktop;
    desktop.AddTopLevel("AutoCAD 2008", kMainClass, kCadProcess);
    const WindowHandle text = desktop.AddTopLevel(kTextTitle, kTextClass, kCadProcess);
    desktop.AddChild(text, "Headlands");
    const WindowHandle second = desktop.AddChild(text, "Headlands");
    const WindowHandle command = desktop.AddChild(text, "MountTam");
    const WindowHandle third = desktop.AddChild(text, "Headlands");
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.HistoryPaneWnd, second);
    EXPECT_EQ(ctrl.CommandPaneWnd, command);
    EXPECT_EQ(std::count(desktop.visited.begin(), desktop.visited.end(), third), 0) << "walk went on after both panes";
}

TEST(TextWindowPanes, SearchedAnewByEveryCall) {
    FakeDesktop desktop;
    const Cad cad = AddCad(desktop);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ASSERT_TRUE(ctrl.FindAcadWindows());
    desktop.Destroy(cad.history);
    desktop.Destroy(cad.command);
    EXPECT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.HistoryPaneWnd, 0u);
    EXPECT_EQ(ctrl.CommandPaneWnd, 0u);
    desktop.Destroy(cad.text);
    desktop.Destroy(cad.main);
    EXPECT_FALSE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadMainWnd, 0u);
    EXPECT_EQ(ctrl.AcadTextWnd, 0u);
    EXPECT_EQ(ctrl.AcadProcessId, kCadProcess);
}

// ---- Command-line panes ----

TEST(CommandLinePanes, InsideTheMainWindowByPrefixLastMatchKept) {
    FakeDesktop desktop;
    const WindowHandle main = desktop.AddTopLevel("AutoCAD 2008", kMainClass, kCadProcess);
    const WindowHandle bar = desktop.AddChild(main, "", "AfxControlBar");
    desktop.AddChild(bar, "Headlands");
    const WindowHandle command = desktop.AddChild(bar, "MountTam 2");
    const WindowHandle history = desktop.AddChild(bar, "Headlands xyz");
    desktop.AddChild(bar, "xHeadlands");
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.FindCommandLinePanes(), history);
    EXPECT_EQ(ctrl.LineHistoryPaneWnd, history);
    EXPECT_EQ(ctrl.LineCommandPaneWnd, command);
    EXPECT_EQ(ctrl.CommandLineWnd, 0u);
}

TEST(CommandLinePanes, FloatingWindowWhenTheMainWindowHasNone) {
    FakeDesktop desktop;
    const Cad cad = AddCad(desktop);
    desktop.AddTopLevel("コマンド ライン", "Afx:00400000:b:", kCadProcess);
    desktop.AddTopLevel("コマンドライン", kMainClass, kCadProcess);
    const WindowHandle floating = desktop.AddTopLevel("コマンド ライン - 2", kMainClass, kCadProcess);
    const WindowHandle history = desktop.AddChild(floating, "Headlands");
    const WindowHandle command = desktop.AddChild(floating, "MountTam");
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.FindCommandLinePanes(), history);
    EXPECT_EQ(ctrl.CommandLineWnd, floating);
    EXPECT_EQ(ctrl.LineCommandPaneWnd, command);
    EXPECT_EQ(ctrl.AcadTextWnd, cad.text);
}

TEST(CommandLinePanes, FloatingWindowOfAnEarlierCallIsSearchedAgain) {
    FakeDesktop desktop;
    AddCad(desktop);
    const WindowHandle floating = desktop.AddTopLevel("コマンド ライン", kMainClass, kCadProcess);
    const WindowHandle history = desktop.AddChild(floating, "Headlands");
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    ASSERT_EQ(ctrl.FindCommandLinePanes(), history);
    desktop.Destroy(history);
    desktop.At(floating).title = "renamed";
    const WindowHandle newHistory = desktop.AddChild(floating, "Headlands");
    EXPECT_EQ(ctrl.FindCommandLinePanes(), newHistory);
    EXPECT_EQ(ctrl.CommandLineWnd, floating);
}

TEST(CommandLinePanes, WithoutCadTheLastFoundValueIsReturned) {
    FakeDesktop desktop;
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.FindCommandLinePanes(), 0u);
    const Cad cad = AddCad(desktop);
    const WindowHandle history = desktop.AddChild(cad.main, "Headlands");
    ASSERT_EQ(ctrl.FindCommandLinePanes(), history);
    desktop.Destroy(cad.main);
    desktop.Destroy(cad.text);
    EXPECT_EQ(ctrl.FindCommandLinePanes(), history);
    EXPECT_FALSE(desktop.IsWindow(history));
}

// ---- Command records ----

TEST(CommandRecord, AnsiIsTheTextAndOneZeroByte) {
    EXPECT_EQ(AnsiRecordBytes("filedia\r"), (Bytes{'f', 'i', 'l', 'e', 'd', 'i', 'a', '\r', 0}));
    EXPECT_EQ(AnsiRecordBytes(""), Bytes{0});
    const std::string longest(255, 'a');
    const Bytes record = AnsiRecordBytes(longest);
    ASSERT_EQ(record.size(), 256u);
    EXPECT_EQ(record.back(), 0);
}

TEST(CommandRecord, WideLengthFollowsTheAnsiLengthZeroUnitFollowsTheUnits) {
    EXPECT_EQ(WideRecordBytes(u"", 0), (Bytes{0, 0}));
    EXPECT_EQ(WideRecordBytes(u"0\r", 2), (Bytes{'0', 0, '\r', 0, 0, 0}));
    // One double-byte character and three single-byte ones: five bytes, four units.
    const Bytes record = WideRecordBytes(u"あabc", 5);
    ASSERT_EQ(record.size(), 12u);
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 10), (Bytes{0x42, 0x30, 'a', 0, 'b', 0, 'c', 0, 0, 0}));
}

// ---- Sending commands ----

// The CAD link over a fake desktop that shows CAD as AddCad makes it.
class SendCommand : public ::testing::Test {
protected:
    FakeDesktop desktop;
    const Cad cad = AddCad(desktop);
    Acad8Ctrl ctrl{desktop, desktop.clipboard};
};

TEST_F(SendCommand, NothingSentWithoutTheTextWindow) {
    FakeDesktop mainOnly;
    mainOnly.AddTopLevel("AutoCAD 2008", kMainClass, kCadProcess);
    Acad8Ctrl link(mainOnly, mainOnly.clipboard);
    EXPECT_FALSE(link.SendAcadCommand("filedia\r", false));
    EXPECT_FALSE(link.SendAcadCommand("filedia\r", true));
    EXPECT_TRUE(mainOnly.messages.empty());
}

TEST_F(SendCommand, NothingSentWithoutTheMainWindow) {
    ASSERT_TRUE(ctrl.FindAcadWindows());
    desktop.Destroy(cad.main);
    EXPECT_FALSE(ctrl.SendAcadCommand("quit\r", false));
    EXPECT_FALSE(ctrl.SendAcadCommand("quit\r", true));
    EXPECT_FALSE(ctrl.IsAcadUnicode());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(SendCommand, AnsiRecordThenNullPosted) {
    EXPECT_TRUE(ctrl.SendAcadCommand("filedia\r", false));
    const std::vector<SentMessage> sent = desktop.SentTo(cad.main);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].kind, SentMessage::Kind::CopyData);
    EXPECT_EQ(sent[0].dwData, 1u);
    EXPECT_EQ(sent[0].bytes, BytesOf(std::string_view("filedia\r\0", 9)));
    EXPECT_EQ(sent[1].kind, SentMessage::Kind::PostNull);
    EXPECT_EQ(desktop.messages.size(), 2u);
}

TEST_F(SendCommand, WideRecordOfSingleByteText) {
    EXPECT_TRUE(ctrl.SendAcadCommand("filedia\r", true));
    const std::vector<SentMessage> sent = desktop.SentTo(cad.main);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].dwData, 1u);
    EXPECT_EQ(sent[0].bytes, (Bytes{'f', 0, 'i', 0, 'l', 0, 'e', 0, 'd', 0, 'i', 0, 'a', 0, '\r', 0, 0, 0}));
    EXPECT_EQ(sent[1].kind, SentMessage::Kind::PostNull);
}

TEST_F(SendCommand, WideRecordOfDoubleByteTextKeepsTheAnsiLength) {
    const std::string text = "図ab\r";
    ASSERT_EQ(text.size(), 5u);
    ASSERT_TRUE(ctrl.FindAcadWindows());
    EXPECT_TRUE(ctrl.SendCommandWide(text));
    const Bytes record = desktop.SentTo(cad.main).at(0).bytes;
    ASSERT_EQ(record.size(), 12u);
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 10), (Bytes{0xF3, 0x56, 'a', 0, 'b', 0, '\r', 0, 0, 0}));
}

TEST_F(SendCommand, EmptyTextSendsOnlyTheZero) {
    EXPECT_TRUE(ctrl.SendAcadCommand("", false));
    EXPECT_TRUE(ctrl.SendAcadCommand("", true));
    const std::vector<SentMessage> sent = desktop.SentTo(cad.main);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].bytes, Bytes{0});
    EXPECT_EQ(sent[2].bytes, (Bytes{0, 0}));
}

TEST_F(SendCommand, TextOf255BytesIsSentLongerIsRefused) {
    const std::string longest = std::string(254, 'a') + "\r";
    EXPECT_TRUE(ctrl.SendAcadCommand(longest, false));
    EXPECT_TRUE(ctrl.SendAcadCommand(longest, true));
    const std::vector<SentMessage> sent = desktop.SentTo(cad.main);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].bytes.size(), 256u);
    EXPECT_EQ(sent[0].bytes[254], '\r');
    EXPECT_EQ(sent[0].bytes[255], 0);
    ASSERT_EQ(sent[2].bytes.size(), 512u);
    EXPECT_EQ(sent[2].bytes[508], '\r');
    EXPECT_EQ(sent[2].bytes[510], 0);
    EXPECT_EQ(sent[2].bytes[511], 0);

    desktop.messages.clear();
    const std::string tooLong(256, 'a');
    EXPECT_FALSE(ctrl.SendAcadCommand(tooLong, false));
    EXPECT_FALSE(ctrl.SendAcadCommand(tooLong, true));
    EXPECT_FALSE(ctrl.SendCommandAnsi(tooLong));
    EXPECT_FALSE(ctrl.SendCommandWide(tooLong));
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(SendCommand, UnicodeAnswerFollowsTheMainWindow) {
    EXPECT_FALSE(ctrl.IsAcadUnicode());
    desktop.At(cad.main).unicode = true;
    EXPECT_TRUE(ctrl.IsAcadUnicode());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(SendCommand, TextsTypedIntoTheFoundCadTakeTheFormItsMainWindowHasAtEach) {
    ASSERT_TRUE(ctrl.FindCadWindows().Found());
    const std::size_t walked = desktop.visited.size();
    EXPECT_TRUE(ctrl.TypeIntoFound("0\r"));
    desktop.At(cad.main).unicode = true;
    EXPECT_TRUE(ctrl.TypeIntoFound("0\r"));
    EXPECT_EQ(desktop.visited.size(), walked) << "a discovery per text";
    const std::vector<SentMessage> sent = desktop.SentTo(cad.main);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].bytes, (Bytes{'0', '\r', 0}));
    EXPECT_EQ(sent[2].bytes, (Bytes{'0', 0, '\r', 0, 0, 0}));
    FakeDesktop none;
    Acad8Ctrl link(none, none.clipboard);
    link.FindCadWindows();
    EXPECT_FALSE(link.TypeIntoFound("quit\r"));
}

// ---- Command pane and control text ----

TEST(ControlText, LengthOfZeroOrLessGivesEmptyWithoutGetText) {
    FakeDesktop desktop;
    const WindowHandle w = desktop.AddTopLevel("pane", "Edit", 1);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    for (std::intptr_t length : {0, -1}) {
        desktop.At(w).content = "text";
        desktop.At(w).lengthAnswer = length;
        EXPECT_EQ(ctrl.ReadControlText(w), "");
    }
    EXPECT_EQ(ctrl.ReadControlText(0), "");
    for (const SentMessage& m : desktop.messages) EXPECT_NE(m.kind, SentMessage::Kind::GetText);
}

TEST(ControlText, AsksWithRoomForTheLengthAndTheZero) {
    FakeDesktop desktop;
    const WindowHandle w = desktop.AddTopLevel("pane", "Edit", 1);
    const std::string content = "コマンド: layout\r\n" + std::string(600, 'x');
    desktop.At(w).content = content;
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.ReadControlText(w), content);
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[1].kind, SentMessage::Kind::GetText);
    EXPECT_EQ(desktop.messages[1].bufferSize, content.size() + 1);
}

TEST(ControlText, WindowThatDoesNotAnswerInTimeGivesNothing) {
    FakeDesktop desktop;
    const WindowHandle w = desktop.AddTopLevel("pane", "Edit", 1);
    desktop.At(w).content = "text";
    desktop.At(w).busy = true;
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.ReadControlText(w), std::nullopt);
    desktop.At(w).busy = false;
    EXPECT_EQ(ctrl.ReadControlText(w), "text");
}

TEST(CommandPane, ReadsThePaneContentNotItsTitle) {
    FakeDesktop desktop;
    const Cad cad = AddCad(desktop);
    desktop.At(cad.command).content = "アクティブなレイアウト: Model";
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.ReadCommandPane(), "アクティブなレイアウト: Model");
    desktop.At(cad.command).content.clear();
    EXPECT_EQ(ctrl.ReadCommandPane(), "");
}

TEST(CommandPane, EmptyWithoutTextWindowOrPane) {
    FakeDesktop desktop;
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.ReadCommandPane(), "");
    EXPECT_TRUE(desktop.messages.empty());
    const Cad cad = AddCad(desktop);
    desktop.At(cad.history).content = "history";
    desktop.Destroy(cad.command);
    EXPECT_EQ(ctrl.ReadCommandPane(), "");
}

// ---- History capture ----

// What a user may have on the clipboard: text in two forms and another program's own format.
const ClipboardContent kUsersContent = {{kCfText, std::string("図面の注記\0", 11)},
                                        {13, std::string("\x33\x56\x62\x6c\0\0", 6)},
                                        {0xC123, "\x01\x00binary"}};

ClipboardContent Marked(ClipboardContent content) {
    content.push_back({kExcludeFromHistory, std::string(4, '\0')});
    return content;
}

// The CAD link over a desktop with one CAD that copies its history, and the user's content on
// the clipboard.
class HistoryCapture : public ::testing::Test {
protected:
    HistoryCapture() {
        desktop.CopiesHistory(cad.text, "コマンド: _open\r\nコマンド: COMMANDLINE\r\n  ");
        clipboard.Copies(kUsersContent);
    }
    HistoryRead Read() { return ctrl.ReadHistory(ctrl.FindCadWindows()); }

    FakeDesktop desktop;
    FakeClipboard& clipboard = desktop.clipboard;
    const Cad cad = AddCad(desktop);
    Acad8Ctrl ctrl{desktop, desktop.clipboard};
};

TEST(HistoryCaptureWithoutCad, LeavesTheClipboardAlone) {
    FakeDesktop desktop;
    desktop.clipboard.Copies(kUsersContent);
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.ReadHistory(ctrl.FindCadWindows()).status, HistoryRead::Status::NoCad);
    EXPECT_EQ(desktop.clipboard.content, kUsersContent);
    EXPECT_EQ(desktop.clipboard.opens, 0);
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(HistoryCapture, ReadsCadsCopyThenPutsEveryFormatOfTheUsersContentBackMarked) {
    const HistoryRead read = Read();
    EXPECT_EQ(read.status, HistoryRead::Status::Read);
    EXPECT_EQ(read.text, "コマンド: _open\r\nコマンド: COMMANDLINE\r\n  ");
    EXPECT_EQ(LastHistoryLine(read.text), "コマンド: COMMANDLINE");
    const std::vector<SentMessage> sent = desktop.SentTo(cad.text);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, SentMessage::Kind::Command);
    EXPECT_EQ(sent[0].id, 32781);
    EXPECT_EQ(clipboard.content, Marked(kUsersContent));
    EXPECT_EQ(clipboard.registeredFormats, std::vector<std::string>{"ExcludeClipboardContentFromMonitorProcessing"});
    EXPECT_FALSE(clipboard.isOpen);
}

TEST_F(HistoryCapture, TakesTheUsersContentOnlyWhenTheUserChangedIt) {
    for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(Read().status, HistoryRead::Status::Read);
    EXPECT_EQ(clipboard.contentReads, 1) << "a snapshot on every tick";
    // A copy the user makes between two reads is the one kept from then on.
    const ClipboardContent later = {{kCfText, std::string("後のコピー\0", 11)}};
    clipboard.Copies(later);
    EXPECT_EQ(Read().status, HistoryRead::Status::Read);
    EXPECT_EQ(clipboard.contentReads, 2);
    EXPECT_EQ(clipboard.content, Marked(later));
}

TEST_F(HistoryCapture, CopyMadeRightAfterCadsIsNeitherReadNorReplaced) {
    const ClipboardContent usersNew = {{kCfText, std::string("新しいコピー\0", 13)}};
    desktop.At(cad.text).onCommand = [&](FakeDesktop& d) {
        d.clipboard.Copies({{kCfText, "history"}}, kCadProcess);
        d.clipboard.beforeNextOpen = [&] { d.clipboard.Copies(usersNew); };
    };
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    EXPECT_EQ(clipboard.content, usersNew);
    EXPECT_EQ(clipboard.puts, 0);
    desktop.CopiesHistory(cad.text, "history");
    EXPECT_EQ(Read().text, "history");
    EXPECT_EQ(clipboard.content, Marked(usersNew));
}

TEST_F(HistoryCapture, UsersCopyInsteadOfCadsIsTakenForTheUsersNotForTheHistory) {
    // The clipboard changed while CAD answered, but its owner is the user's program.
    desktop.At(cad.text).onCommand = [&](FakeDesktop& d) { d.clipboard.Copies({{kCfText, "コマンド: COMMANDLINE"}}); };
    const HistoryRead read = Read();
    EXPECT_EQ(read.status, HistoryRead::Status::Busy);
    EXPECT_EQ(read.text, "");
    EXPECT_EQ(clipboard.CurrentText(), "コマンド: COMMANDLINE") << "the user's copy was replaced";
    EXPECT_EQ(clipboard.puts, 0);
}

TEST_F(HistoryCapture, ClipboardCadDidNotChangeIsNotReadAsItsHistory) {
    desktop.At(cad.text).onCommand = nullptr;  // CAD copies nothing
    clipboard.Copies({{kCfText, "コマンド: COMMANDLINE"}});
    const HistoryRead read = Read();
    EXPECT_EQ(read.status, HistoryRead::Status::Read);
    EXPECT_EQ(read.text, "");
    EXPECT_EQ(clipboard.content, (ClipboardContent{{kCfText, "コマンド: COMMANDLINE"}}));
    EXPECT_EQ(clipboard.puts, 0);
    // CAD could not copy because another program holds the clipboard.
    clipboard.opensAllowed = clipboard.opens;
    EXPECT_EQ(Read().status, HistoryRead::Status::Held);
}

TEST_F(HistoryCapture, CopyWithoutTextGivesEmptyAndPutsTheUsersContentBack) {
    desktop.CopiesHistory(cad.text, std::nullopt);
    const HistoryRead read = Read();
    EXPECT_EQ(read.status, HistoryRead::Status::Read);
    EXPECT_EQ(read.text, "");
    EXPECT_EQ(clipboard.content, Marked(kUsersContent));
}

TEST(HistoryCaptureOfAnEmptyClipboard, StaysEmptyWithoutTheMark) {
    FakeDesktop desktop;
    const Cad cad = AddCad(desktop);
    desktop.CopiesHistory(cad.text, "history");
    Acad8Ctrl ctrl(desktop, desktop.clipboard);
    EXPECT_EQ(ctrl.ReadHistory(ctrl.FindCadWindows()).text, "history");
    EXPECT_TRUE(desktop.clipboard.content.empty());
    EXPECT_EQ(desktop.clipboard.puts, 1);
}

TEST_F(HistoryCapture, ReadableWithoutTheMainWindow) {
    desktop.CopiesHistory(cad.text, "ｺﾏﾝﾄﾞ: COMMANDLINE");
    ASSERT_TRUE(ctrl.FindAcadWindows());
    desktop.Destroy(cad.main);
    EXPECT_EQ(Read().text, "ｺﾏﾝﾄﾞ: COMMANDLINE");
}

TEST_F(HistoryCapture, ClipboardHeldElsewhereIsNotYetAndTouchesNothing) {
    clipboard.opener = kUserProcess;
    EXPECT_EQ(Read().status, HistoryRead::Status::Held);
    EXPECT_EQ(clipboard.content, kUsersContent);
    EXPECT_TRUE(desktop.SentTo(cad.text).empty()) << "CAD copied over a clipboard that could not be kept";
    // CAD itself holding it open is CAD at work, not another program in the way.
    clipboard.opener = kCadProcess;
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    clipboard.opener = 0;
    EXPECT_EQ(Read().status, HistoryRead::Status::Read);
    EXPECT_EQ(clipboard.content, Marked(kUsersContent));
}

TEST_F(HistoryCapture, CadsCopyOnTheClipboardOfACadGoneBusyIsNotYetAndThenPutBack) {
    // CAD answered the copy command, then turned to a long line before its copy was read.
    desktop.At(cad.text).onCommand = [&](FakeDesktop& d) {
        d.clipboard.Copies({{kCfText, "history"}}, kCadProcess);
        d.clipboard.ownerBusy = true;
    };
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy) << "a busy owner's copy counted as another program's";
    clipboard.ownerBusy = false;
    desktop.CopiesHistory(cad.text, "later");
    EXPECT_EQ(Read().text, "later");
    EXPECT_EQ(clipboard.content, Marked(kUsersContent));
    EXPECT_EQ(clipboard.contentReads, 1);
}

TEST_F(HistoryCapture, CadsCopyLeftByAFailedReadIsNotTakenForTheUsersNextTime) {
    clipboard.opensAllowed = 1;  // the snapshot opens it; the read after CAD's copy cannot
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    EXPECT_FALSE(clipboard.isOpen);
    EXPECT_EQ(clipboard.CurrentText(), "コマンド: _open\r\nコマンド: COMMANDLINE\r\n  ");
    clipboard.opensAllowed = INT_MAX;
    EXPECT_EQ(Read().status, HistoryRead::Status::Read);
    EXPECT_EQ(clipboard.contentReads, 1);
    EXPECT_EQ(clipboard.content, Marked(kUsersContent));
}

TEST_F(HistoryCapture, BusyCadIsNotYetAndItsLateCopyNeverReplacesTheUsersContent) {
    ASSERT_EQ(Read().status, HistoryRead::Status::Read);
    desktop.At(cad.text).busy = true;
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    // While CAD has not answered, no second command is queued behind the first.
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    EXPECT_EQ(desktop.SentTo(cad.text).size(), 2u);
    // The user copies; then CAD, free again, answers the old command with its copy.
    const ClipboardContent usersNew = {{kCfText, std::string("作業中のコピー\0", 15)}};
    clipboard.Copies(usersNew);
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    desktop.FinishWork(cad.text);
    ASSERT_EQ(clipboard.owner, kCadProcess);
    // The next read puts the user's new content back over CAD's late copy, then reads anew.
    const HistoryRead read = Read();
    EXPECT_EQ(read.status, HistoryRead::Status::Read);
    EXPECT_EQ(clipboard.content, Marked(usersNew));
    EXPECT_EQ(clipboard.contentReads, 2) << "CAD's late copy was taken for the user's";
}

TEST_F(HistoryCapture, LateCopyOfACadThatNamesNoOwnerIsKnownByTheUnansweredCommand) {
    desktop.At(cad.text).onCommand = [](FakeDesktop& d) { d.clipboard.Copies({{kCfText, "history"}}, 0); };
    ASSERT_EQ(Read().status, HistoryRead::Status::Read);
    desktop.At(cad.text).busy = true;
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    desktop.FinishWork(cad.text);
    EXPECT_EQ(Read().status, HistoryRead::Status::Read);
    EXPECT_EQ(clipboard.content, Marked(kUsersContent));
    EXPECT_EQ(clipboard.contentReads, 1);
}

TEST_F(HistoryCapture, CommandTakenBackUnansweredIsSentAgainOnceCadAnswers) {
    // Wine drops a message whose wait gave up before the thread began it: no copy ever lands.
    desktop.At(cad.text).busy = true;
    desktop.At(cad.text).dropsUnanswered = true;
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    desktop.FinishWork(cad.text);
    const HistoryRead read = Read();
    EXPECT_EQ(read.status, HistoryRead::Status::Read) << "a copy that will never come was waited for";
    EXPECT_EQ(LastHistoryLine(read.text), "コマンド: COMMANDLINE");
    EXPECT_EQ(clipboard.content, Marked(kUsersContent));
}

TEST_F(HistoryCapture, CommandLeftUnansweredByACadThatEndedHoldsNoLaterCadBack) {
    desktop.At(cad.text).busy = true;
    EXPECT_EQ(Read().status, HistoryRead::Status::Busy);
    desktop.Destroy(cad.main);
    desktop.Destroy(cad.text);
    const Cad next = AddCad(desktop, kCadProcess + 1);
    desktop.CopiesHistory(next.text, "next");
    EXPECT_EQ(Read().text, "next");
}

// ---- Last history line ----

TEST(LastHistoryLine, TrimsBothEndsThenTakesWhatFollowsTheLastBreak) {
    EXPECT_EQ(LastHistoryLine("コマンド: open\r\nコマンド: COMMANDLINE\r\n   \t"), "コマンド: COMMANDLINE");
    EXPECT_EQ(LastHistoryLine("\t  layout ? \r\n"), "layout ?");
    EXPECT_EQ(LastHistoryLine("a\rb\nc"), "c");
    EXPECT_EQ(LastHistoryLine("a\r\n   OWARI"), "   OWARI");
    EXPECT_EQ(LastHistoryLine(std::string_view("x\r\n\x01y\0", 6)), "\x01y");
}

TEST(LastHistoryLine, BlanksAndBreaksOnlyGiveEmpty) {
    EXPECT_EQ(LastHistoryLine(""), "");
    EXPECT_EQ(LastHistoryLine(" \r\n\t \x1f\r\n "), "");
}

TEST(LastHistoryLine, BytesAbove0x7FAreNeverTrimmed) {
    EXPECT_EQ(LastHistoryLine("\r\nｺﾏﾝﾄﾞ"), "ｺﾏﾝﾄﾞ");
    EXPECT_EQ(LastHistoryLine("\xA0\xFF\x7F"), "\xA0\xFF\x7F");
}

}  // namespace
