// The CAD link bound to user32, against StandInCad.exe running as a process of its own: the
// windows it finds, the records the stand-in receives (checked in the stand-in's log), the
// history and pane texts it reads back, and what it leaves on the clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "cadlink/Acad8Ctrl.h"
#include "cadlink/Clipboard_win.h"
#include "cadlink/WindowSystem_win.h"
#include "testsupport/Clipboard_win.h"
#include "testsupport/Desktop_win.h"
#include "testsupport/StandInProcess_win.h"
#include "testsupport/Wait_win.h"

namespace {

const char kPrompt[] = "コマンド: COMMANDLINE";
const char kDecoyMainClass[] = "Afx:00400000:8:MarlowenDecoy";
const char kDecoyTextClass[] = "Afx:00400000:b:MarlowenDecoy";

WindowHandle H(HWND w) { return reinterpret_cast<WindowHandle>(w); }
HWND Hwnd(WindowHandle w) { return reinterpret_cast<HWND>(w); }

HWND Root(WindowHandle w) { return GetAncestor(Hwnd(w), GA_ROOT); }

bool AnyCadClassWindow() {
    for (HWND w : TopLevelWindows()) {
        if (WindowClass(w).starts_with("Afx:00400000:")) return true;
    }
    return false;
}

// Top-level windows of this process with CAD-like titles and classes, made above everything
// else in the walk and destroyed with the test.
class Decoys {
public:
    Decoys() {
        for (const char* name : {kDecoyMainClass, kDecoyTextClass}) RegisterWindowClass(name, DefWindowProcA);
    }
    ~Decoys() {
        for (HWND w : windows_) DestroyWindow(w);
    }
    Decoys(const Decoys&) = delete;
    Decoys& operator=(const Decoys&) = delete;

    HWND Add(const std::string& title, const char* className) {
        HWND w = CreateWindowExA(0, className, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 120, 60, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(w, nullptr);
        windows_.push_back(w);
        return w;
    }

private:
    std::vector<HWND> windows_;
};

class CadLink : public ::testing::Test {
protected:
    CadLink() : ctrl(ws_, clipboard_) {}

    // The last history line, as the run supervision reads it; empty when none was read.
    std::string LastLine() { return LastHistoryLine(ctrl.ReadHistory(ctrl.FindCadWindows()).text); }
    std::string Pane() { return ctrl.ReadCommandPane().value_or("(no answer)"); }

    bool WaitForLastLine(const std::string& line) {
        return WaitFor([&] { return LastLine() == line; }, 20000);
    }

    // Until the stand-in shows its start-up prompt, polled as the run supervision does.
    bool StartUp(const StandInProcess& cad, const std::string& prompt = kPrompt) {
        return cad.WaitForWindows() && WaitForLastLine(prompt);
    }

    // As every caller types a command: the record's form follows the main window asked anew.
    bool Type(const std::string& text) { return ctrl.SendAcadCommand(text, ctrl.IsAcadUnicode()); }

    // What FindCommandLinePanes found, and both panes it noted, lie inside root.
    void ExpectCommandLinePanesIn(HWND root, WindowHandle history) {
        ASSERT_NE(history, 0u);
        EXPECT_EQ(history, ctrl.LineHistoryPaneWnd);
        EXPECT_EQ(Root(history), root);
        EXPECT_EQ(WindowTitle(Hwnd(history)), "Headlands");
        EXPECT_EQ(Root(ctrl.LineCommandPaneWnd), root);
        EXPECT_EQ(WindowTitle(Hwnd(ctrl.LineCommandPaneWnd)), "MountTam");
    }

    void ExpectNothingReadNorSent(const std::string& clipboardText) {
        EXPECT_FALSE(ctrl.SendAcadCommand("filedia\r", false));
        EXPECT_FALSE(ctrl.SendAcadCommand("filedia\r", true));
        EXPECT_FALSE(ctrl.IsAcadUnicode());
        EXPECT_EQ(LastLine(), "");
        EXPECT_EQ(Pane(), "");
        EXPECT_EQ(ClipboardTextNow(), clipboardText);
    }

private:
    Win32WindowSystem ws_;
    Win32Clipboard clipboard_;

protected:
    Acad8Ctrl ctrl;
};

using StandInDiscovery = CadLink;

TEST_F(StandInDiscovery, FindsTheMainAndTextWindowsAndTheTextWindowsPanes) {
    StandInProcess cad(STANDIN_EXE, "");
    ASSERT_TRUE(StartUp(cad));
    ASSERT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadMainWnd, H(cad.MainWindow()));
    EXPECT_EQ(ctrl.AcadTextWnd, H(cad.TextWindow()));
    EXPECT_EQ(ctrl.AcadProcessId, cad.ProcessId());
    // The main window holds panes of the same titles; these must be the text window's.
    ASSERT_NE(ctrl.HistoryPaneWnd, 0u);
    ASSERT_NE(ctrl.CommandPaneWnd, 0u);
    EXPECT_EQ(Root(ctrl.HistoryPaneWnd), cad.TextWindow());
    EXPECT_EQ(Root(ctrl.CommandPaneWnd), cad.TextWindow());
    EXPECT_EQ(WindowTitle(Hwnd(ctrl.HistoryPaneWnd)), "Headlands");
    EXPECT_EQ(WindowTitle(Hwnd(ctrl.CommandPaneWnd)), "MountTam");
}

TEST_F(StandInDiscovery, PassesOverMainWindowDecoysThatTheWalkMeetsFirst) {
    StandInProcess cad(STANDIN_EXE, "");
    ASSERT_TRUE(StartUp(cad));
    Decoys decoys;
    const std::vector<HWND> decoyWindows = {
        decoys.Add("AutoCAD", kDecoyMainClass),
        decoys.Add("AutoCAD2000i - [Drawing1.dwg]", kDecoyMainClass),
        decoys.Add("Autodesk", kDecoyMainClass),
        decoys.Add("図面 AutoCAD 2000i", kDecoyMainClass),
        decoys.Add("AutoCAD 2000i - [Drawing1.dwg]", kDecoyTextClass),
    };
    for (HWND decoy : decoyWindows) ASSERT_LT(WalkPosition(decoy), WalkPosition(cad.MainWindow()));

    ASSERT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadMainWnd, H(cad.MainWindow()));
    EXPECT_EQ(ctrl.AcadProcessId, cad.ProcessId());
    EXPECT_EQ(ctrl.AcadTextWnd, H(cad.TextWindow()));
}

// A main window of this process, first in the walk, makes this process the CAD; text-window
// titles of this process with the main window's class or without the blank are then no text
// window, and neither is the stand-in's, which belongs to another process.
TEST_F(StandInDiscovery, TextWindowDecoysOfTheCadsProcessAreNotTaken) {
    StandInProcess cad(STANDIN_EXE, "");
    ASSERT_TRUE(StartUp(cad));
    {
        Decoys decoys;
        const HWND mainClass = decoys.Add("AutoCAD テキスト ウィンドウ - Drawing1.dwg", kDecoyMainClass);
        const HWND noBlank = decoys.Add("AutoCADテキスト ウィンドウ - Drawing1.dwg", kDecoyTextClass);
        const HWND ownMain = decoys.Add("AutoCAD 2000i - [Drawing1.dwg]", kDecoyMainClass);
        ASSERT_LT(WalkPosition(ownMain), WalkPosition(mainClass));
        ASSERT_LT(WalkPosition(noBlank), WalkPosition(cad.TextWindow()));

        EXPECT_FALSE(ctrl.FindAcadWindows());
        EXPECT_EQ(ctrl.AcadMainWnd, H(ownMain));
        EXPECT_EQ(ctrl.AcadProcessId, GetCurrentProcessId());
        EXPECT_EQ(ctrl.AcadTextWnd, 0u);
        EXPECT_EQ(LastLine(), "");
    }
    // With the decoys gone the stand-in is CAD again, found by its main window.
    ASSERT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadProcessId, cad.ProcessId());
    EXPECT_EQ(ctrl.AcadTextWnd, H(cad.TextWindow()));
}

TEST_F(StandInDiscovery, CommandLinePanesInsideTheMainWindow) {
    StandInProcess cad(STANDIN_EXE, "");
    ASSERT_TRUE(StartUp(cad));
    ExpectCommandLinePanesIn(cad.MainWindow(), ctrl.FindCommandLinePanes());
    EXPECT_EQ(ctrl.CommandLineWnd, 0u);
}

TEST_F(StandInDiscovery, CommandLinePanesInAFloatingCommandLineWindow) {
    StandInProcess cad(STANDIN_EXE, "/floating");
    ASSERT_TRUE(StartUp(cad));
    ASSERT_TRUE(WaitFor([&] { return cad.FloatingCommandLine() != nullptr; }));
    ExpectCommandLinePanesIn(cad.FloatingCommandLine(), ctrl.FindCommandLinePanes());
    EXPECT_EQ(ctrl.CommandLineWnd, H(cad.FloatingCommandLine()));
}

// The two record forms: the stand-in with ANSI windows and with /unicode windows.
struct RecordForm {
    const char* options;
    bool unicode;
    const char* filediaRecord;  // the whole log line
    const char* drawingRecord;  // the log line up to the bytes that carry no meaning
};

std::ostream& operator<<(std::ostream& out, const RecordForm& form) { return out << (form.unicode ? "utf16" : "ansi"); }

class StandInCommands : public CadLink, public ::testing::WithParamInterface<RecordForm> {};

// "表" is 95 5C in Shift-JIS: its second byte is the path separator's, and must stay a byte
// of the character in both forms.
TEST_P(StandInCommands, RecordsArriveByteExact) {
    StandInProcess cad(STANDIN_EXE, GetParam().options);
    cad.WriteFile("表示.dwg", "Model\r\n");
    ASSERT_TRUE(StartUp(cad));
    EXPECT_EQ(ctrl.IsAcadUnicode(), GetParam().unicode);
    for (const char* command : {"filedia\r", "0\r", "open\r", "表示.dwg\r"}) EXPECT_TRUE(Type(command));
    ASSERT_TRUE(WaitFor([&] { return !cad.Log().Starting("open ").empty(); }));

    const std::vector<std::string> received = cad.Log().Starting("recv ");
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0], GetParam().filediaRecord);
    EXPECT_TRUE(received[3].starts_with(GetParam().drawingRecord)) << received[3];
    EXPECT_TRUE(received[3].ends_with(" text=\"表示.dwg\\r\"")) << received[3];
    EXPECT_EQ(cad.Log().Starting("open "), std::vector<std::string>{"open \"表示.dwg\" name=\"表示.dwg\" layouts=1"});
}

TEST_P(StandInCommands, CommandPaneHoldsTheLayoutListing) {
    StandInProcess cad(STANDIN_EXE, GetParam().options);
    cad.WriteFile("表示.dwg", "Model\r\n平面図\r\n配置 1\r\n");
    ASSERT_TRUE(StartUp(cad));
    for (const char* command : {"filedia\r", "0\r", "open\r", "表示.dwg\r", "layout\r", "?\r"}) {
        EXPECT_TRUE(Type(command));
    }
    ASSERT_TRUE(WaitForLastLine("レイアウト: 配置 1  ブロック名: *Paper_Space0."));

    const std::string pane = Pane();
    EXPECT_NE(pane.find("アクティブなレイアウト: 平面図\r\n"
                        "レイアウト数 3.\r\n"
                        "レイアウト: Model  ブロック名: *Model_Space.\r\n"
                        "レイアウト: 平面図  ブロック名: *Paper_Space.\r\n"
                        "レイアウト: 配置 1  ブロック名: *Paper_Space0.\r\n"),
              std::string::npos)
        << pane;
    EXPECT_TRUE(pane.ends_with("\r\nコマンド: ")) << pane;
}

INSTANTIATE_TEST_SUITE_P(
    BothForms, StandInCommands,
    ::testing::Values(RecordForm{"", false, "recv ansi dwData=1 cbData=9 hex=66696c656469610d00 text=\"filedia\\r\"",
                                 "recv ansi dwData=1 cbData=10 hex=955c8ea62e6477670d00 text="},
                      RecordForm{
                          "/unicode", true,
                          "recv utf16 dwData=1 cbData=18 hex=660069006c0065006400690061000d000000 text=\"filedia\\r\"",
                          "recv utf16 dwData=1 cbData=20 hex=68883a792e006400770067000d000000"}));

using StandInHistory = CadLink;

TEST_F(StandInHistory, LastLineBecomesThePromptOnceStartUpIsDone) {
    StandInProcess cad(STANDIN_EXE, "/startdelay:1500");
    ASSERT_TRUE(cad.WaitForWindows());
    EXPECT_NE(LastLine(), kPrompt);
    EXPECT_TRUE(WaitForLastLine(kPrompt));
}

TEST_F(StandInHistory, HalfWidthPrompt) {
    StandInProcess cad(STANDIN_EXE, "/halfwidth");
    EXPECT_TRUE(StartUp(cad, "ｺﾏﾝﾄﾞ: COMMANDLINE"));
}

TEST_F(StandInHistory, ClipboardKeepsTheUsersTextAfterEveryRead) {
    StandInProcess cad(STANDIN_EXE, "");
    ASSERT_TRUE(StartUp(cad));
    ASSERT_TRUE(PutClipboardText("before the read"));
    const std::size_t copies = cad.Log().Starting("copy-history bytes=").size();

    EXPECT_EQ(LastLine(), kPrompt);
    EXPECT_EQ(cad.Log().Starting("copy-history bytes=").size(), copies + 1);
    EXPECT_EQ(ClipboardTextNow(), "before the read");
    // A copy made between two reads is what the next read leaves.
    ASSERT_TRUE(PutClipboardText("between the reads"));
    EXPECT_EQ(LastLine(), kPrompt);
    EXPECT_EQ(ClipboardTextNow(), "between the reads");
}

TEST_F(StandInHistory, ClipboardHeldByAnotherProgramIsNotYet) {
    StandInProcess cad(STANDIN_EXE, "");
    ASSERT_TRUE(StartUp(cad));
    ClipboardHeldElsewhere holder;
    ASSERT_TRUE(holder.Held());
    EXPECT_EQ(ctrl.ReadHistory(ctrl.FindCadWindows()).status, HistoryRead::Status::Held);
    ASSERT_TRUE(holder.Release());
    EXPECT_EQ(LastLine(), kPrompt);
}

using NoCad = CadLink;

TEST_F(NoCad, NothingIsSentOrReadAndTheClipboardKeepsItsText) {
    ASSERT_TRUE(WaitFor([] { return !AnyCadClassWindow(); }));
    ASSERT_TRUE(PutClipboardText("kept"));
    ExpectNothingReadNorSent("kept");
}

// The process and handles of a CAD found before are carried in the CAD link's state.
TEST_F(NoCad, NothingIsSentOrReadAfterTheCadHasEnded) {
    {
        StandInProcess cad(STANDIN_EXE, "");
        ASSERT_TRUE(StartUp(cad));
    }
    ASSERT_TRUE(WaitFor([] { return !AnyCadClassWindow(); }));
    ASSERT_TRUE(PutClipboardText("kept"));
    ExpectNothingReadNorSent("kept");
}

}  // namespace
