// The user32 binding against real windows that the test makes in its own process.
#include "cadlink/WindowSystem_win.h"

#include "cadlink/Clipboard_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "cadlink/Acad8Ctrl.h"
#include "testsupport/Clipboard_win.h"
#include "testsupport/Desktop_win.h"
#include "text/AppError.h"

namespace {

const char kMainClass[] = "Afx:00400000:8:MarlowenTest";
const wchar_t kMainClassWide[] = L"Afx:00400000:8:MarlowenTestW";
const char kTextClass[] = "Afx:00400000:b:MarlowenTest";
const char kPaneClass[] = "MarlowenTestPane";

// What a test window was sent; a window with copiesHistory puts history on the clipboard
// when it gets the copy-history command, as CAD does.
struct Received {
    std::uintptr_t dwData = 0;
    WPARAM copyDataWParam = 1;
    std::vector<std::uint8_t> copyData;
    WPARAM commandWParam = 0;
    LPARAM commandLParam = -1;
    bool copiesHistory = false;
    std::string history;
};

LRESULT Handle(HWND w, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
    handled = true;
    auto* received = reinterpret_cast<Received*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (received && msg == WM_COPYDATA) {
        const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        const auto* bytes = static_cast<const std::uint8_t*>(record->lpData);
        received->dwData = record->dwData;
        received->copyDataWParam = wp;
        received->copyData.assign(bytes, bytes + record->cbData);
        return TRUE;
    }
    if (received && msg == WM_COMMAND) {
        received->commandWParam = wp;
        received->commandLParam = lp;
        if (received->copiesHistory && LOWORD(wp) == 32781) {
            EXPECT_TRUE(PutClipboardText(received->history, w));
        }
        return 0;
    }
    handled = false;
    return 0;
}

LRESULT CALLBACK WindowProcA(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    bool handled = false;
    const LRESULT result = Handle(w, msg, wp, lp, handled);
    return handled ? result : DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK WindowProcW(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    bool handled = false;
    const LRESULT result = Handle(w, msg, wp, lp, handled);
    return handled ? result : DefWindowProcW(w, msg, wp, lp);
}

void RegisterTestClasses() {
    static const bool registered = [] {
        for (const char* name : {kMainClass, kTextClass, kPaneClass}) RegisterWindowClass(name, WindowProcA);
        WNDCLASSW wc{};
        wc.lpfnWndProc = WindowProcW;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kMainClassWide;
        RegisterClassW(&wc);
        return true;
    }();
    (void)registered;
}

// Windows made by one test, destroyed with it.
class TestDesktop {
public:
    TestDesktop() { RegisterTestClasses(); }
    ~TestDesktop() {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            if (IsWindow(*it)) DestroyWindow(*it);
        }
    }
    HWND TopLevel(const std::string& title, const char* className, Received* received = nullptr) {
        return Keep(CreateWindowExA(0, className, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr),
                    received);
    }
    HWND UnicodeTopLevel(const wchar_t* title, Received* received) {
        return Keep(CreateWindowExW(0, kMainClassWide, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr),
                    received);
    }
    HWND Child(HWND parent, const std::string& title) {
        return Keep(CreateWindowExA(0, kPaneClass, title.c_str(), WS_CHILD, 0, 0, 50, 20, parent, nullptr,
                                    GetModuleHandleA(nullptr), nullptr),
                    nullptr);
    }

private:
    HWND Keep(HWND w, Received* received) {
        EXPECT_NE(w, nullptr);
        if (received) SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(received));
        windows_.push_back(w);
        return w;
    }
    std::vector<HWND> windows_;
};

WindowHandle H(HWND w) { return reinterpret_cast<WindowHandle>(w); }

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }

TEST(Win32WindowSystem, RunsWithTheJapaneseAnsiCodePage) { EXPECT_EQ(GetACP(), 932u); }

TEST(Win32WindowSystem, TitleAndClassReadWithin254Bytes) {
    TestDesktop desktop;
    HWND text = desktop.TopLevel("AutoCAD テキスト ウィンドウ", kTextClass);
    const std::string longTitle = "AutoCAD " + std::string(300, 'x');
    HWND longWindow = desktop.TopLevel(longTitle, kMainClass);
    Win32WindowSystem ws;
    EXPECT_EQ(ws.Title(H(text)), "AutoCAD テキスト ウィンドウ");
    EXPECT_EQ(ws.ClassName(H(text)), kTextClass);
    EXPECT_EQ(ws.Title(H(longWindow)), longTitle.substr(0, 254));
    EXPECT_EQ(ws.ProcessId(H(text)), GetCurrentProcessId());
    EXPECT_TRUE(ws.IsWindow(H(text)));

    DestroyWindow(text);
    EXPECT_FALSE(ws.IsWindow(H(text)));
    EXPECT_FALSE(ws.IsWindow(0));
    EXPECT_EQ(ws.Title(H(text)), "");
    EXPECT_EQ(ws.ClassName(H(text)), "");
    EXPECT_EQ(ws.ProcessId(H(text)), 0u);
}

TEST(Win32WindowSystem, TopLevelWalkInEnumWindowsOrderWithEarlyStop) {
    TestDesktop desktop;
    for (const char* title : {"one", "two", "three"}) desktop.TopLevel(title, kMainClass);
    Win32WindowSystem ws;
    std::vector<WindowHandle> expected;
    for (HWND w : TopLevelWindowsOf(GetCurrentProcessId())) expected.push_back(H(w));
    ASSERT_GE(expected.size(), 3u);

    std::vector<WindowHandle> walked;
    ws.EnumTopLevel([&](WindowHandle w) {
        if (ws.ProcessId(w) == GetCurrentProcessId()) walked.push_back(w);
        return true;
    });
    EXPECT_EQ(walked, expected);

    std::vector<WindowHandle> untilSecond;
    ws.EnumTopLevel([&](WindowHandle w) {
        if (ws.ProcessId(w) == GetCurrentProcessId()) untilSecond.push_back(w);
        return untilSecond.size() < 2;
    });
    EXPECT_EQ(untilSecond, std::vector<WindowHandle>(expected.begin(), expected.begin() + 2));
}

TEST(Win32WindowSystem, DescendantWalkReachesGrandchildrenAndStopsEarly) {
    TestDesktop desktop;
    HWND top = desktop.TopLevel("top", kTextClass);
    HWND frame = desktop.Child(top, "");
    HWND pane = desktop.Child(frame, "Headlands");
    Win32WindowSystem ws;
    std::vector<WindowHandle> all;
    ws.EnumDescendants(H(top), [&](WindowHandle w) {
        all.push_back(w);
        return true;
    });
    EXPECT_EQ(all, (std::vector<WindowHandle>{H(frame), H(pane)}));
    int visits = 0;
    ws.EnumDescendants(H(top), [&](WindowHandle) { return ++visits < 1; });
    EXPECT_EQ(visits, 1);
}

TEST(Win32WindowSystem, VisitorExceptionLeavesAfterTheWalk) {
    TestDesktop desktop;
    HWND top = desktop.TopLevel("top", kTextClass);
    desktop.Child(top, "a");
    desktop.Child(top, "b");
    Win32WindowSystem ws;
    int visits = 0;
    auto thrower = [&](WindowHandle) -> bool {
        ++visits;
        throw std::runtime_error("visitor failed");
    };
    EXPECT_THROW(ws.EnumDescendants(H(top), thrower), std::runtime_error);
    EXPECT_EQ(visits, 1);
    EXPECT_THROW(ws.EnumTopLevel(thrower), std::runtime_error);
    EXPECT_EQ(visits, 2);
}

TEST(Win32WindowSystem, UnicodeWindowsAreTold) {
    TestDesktop desktop;
    Received received;
    HWND ansi = desktop.TopLevel("a", kMainClass);
    HWND wide = desktop.UnicodeTopLevel(L"w", &received);
    Win32WindowSystem ws;
    EXPECT_FALSE(ws.IsWindowUnicode(H(ansi)));
    EXPECT_TRUE(ws.IsWindowUnicode(H(wide)));
}

TEST(Win32WindowSystem, MessagesArriveAsSent) {
    TestDesktop desktop;
    Received received;
    HWND w = desktop.TopLevel("AutoCAD 2008", kMainClass, &received);
    Win32WindowSystem ws;

    const std::uint8_t record[] = {'f', 0, '\r', 0, 0, 0};
    ws.SendCopyData(H(w), 1, record, sizeof record);
    EXPECT_EQ(received.dwData, 1u);
    EXPECT_EQ(received.copyDataWParam, 0u);
    EXPECT_EQ(received.copyData, std::vector<std::uint8_t>(record, record + sizeof record));

    EXPECT_TRUE(ws.SendCommand(H(w), 32781));
    EXPECT_EQ(received.commandWParam, 32781u);
    EXPECT_EQ(received.commandLParam, 0);

    ws.PostNull(H(w));
    MSG msg;
    bool nullQueued = false;
    while (PeekMessageA(&msg, w, 0, 0, PM_REMOVE)) nullQueued = nullQueued || msg.message == WM_NULL;
    EXPECT_TRUE(nullQueued);
}

TEST(Win32WindowSystem, WindowTextByLengthAndBuffer) {
    TestDesktop desktop;
    const std::string content = "アクティブなレイアウト: " + std::string(600, 'x');
    HWND w = desktop.TopLevel(content, kPaneClass);
    Win32WindowSystem ws;
    const std::intptr_t length = ws.SendGetTextLength(H(w)).value_or(-1);
    ASSERT_GE(length, static_cast<std::intptr_t>(content.size()));
    EXPECT_EQ(ws.SendGetText(H(w), static_cast<std::size_t>(length) + 1), content);
    EXPECT_EQ(ws.SendGetText(H(w), 5), content.substr(0, 4));
    EXPECT_EQ(ws.SendGetTextLength(0), std::nullopt);
}

// Text, a bitmap, an enhanced metafile and another program's own format, as a user's copy
// might hold them.
void PutUsersContent(HWND owner, UINT privateFormat) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    const ClipboardContent plain = {{CF_TEXT, std::string("図面の注記\0", 11)}, {privateFormat, "\x01\x02private"}};
    BITMAPINFOHEADER dib{sizeof dib, 2, 2, 1, 32, BI_RGB, 16, 0, 0, 0, 0};
    std::string dibBytes(reinterpret_cast<const char*>(&dib), sizeof dib);
    dibBytes += std::string("\x10\x20\x30\x00\x40\x50\x60\x00\x70\x80\x90\x00\xa0\xb0\xc0\x00", 16);
    for (const ClipboardItem& item : ClipboardContent{plain[0], plain[1], {CF_DIB, dibBytes}}) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, item.bytes.size());
        std::memcpy(GlobalLock(memory), item.bytes.data(), item.bytes.size());
        GlobalUnlock(memory);
        EXPECT_TRUE(SetClipboardData(item.format, memory));
    }
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 40, 30);
    EXPECT_TRUE(SetClipboardData(CF_ENHMETAFILE, CloseEnhMetaFile(dc)));
    CloseClipboard();
}

const ClipboardItem* FindFormat(const ClipboardContent& content, UINT format) {
    const auto it =
        std::find_if(content.begin(), content.end(), [&](const ClipboardItem& i) { return i.format == format; });
    return it == content.end() ? nullptr : &*it;
}

TEST(Win32Clipboard, ClipboardContentsComeBackFormatForFormat) {
    TestDesktop desktop;
    HWND owner = desktop.TopLevel("owner", kPaneClass);
    Win32Clipboard clipboard;
    const UINT privateFormat = clipboard.Format("MarlowenTestPrivate");
    ASSERT_NE(privateFormat, 0u);
    PutUsersContent(owner, privateFormat);
    ASSERT_TRUE(clipboard.Open());
    const ClipboardContent taken = clipboard.Contents();
    const std::uint32_t afterReading = clipboard.SequenceNumber();
    clipboard.Close();
    for (UINT format : {UINT{CF_TEXT}, UINT{CF_UNICODETEXT}, UINT{CF_DIB}, UINT{CF_ENHMETAFILE}, privateFormat})
        EXPECT_NE(FindFormat(taken, format), nullptr) << "format " << format << " not taken";
    EXPECT_EQ(FindFormat(taken, CF_BITMAP), nullptr) << "a bitmap handle is made again from CF_DIB";
    EXPECT_EQ(clipboard.SequenceNumber(), afterReading) << "reading changed the clipboard";

    ASSERT_TRUE(clipboard.Open());
    clipboard.Put(std::make_shared<const ClipboardContent>());
    clipboard.Close();
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_NE(clipboard.SequenceNumber(), afterReading);

    ASSERT_TRUE(clipboard.Open());
    clipboard.Put(std::make_shared<const ClipboardContent>(taken));
    clipboard.Close();
    ASSERT_TRUE(clipboard.Open());
    EXPECT_EQ(clipboard.Contents(), taken);
    EXPECT_EQ(clipboard.Text(), "図面の注記");
    clipboard.Close();
    EXPECT_NE(IsClipboardFormatAvailable(CF_BITMAP), FALSE);
}

TEST(Win32Clipboard, LargeFormatsPutBackComeWhenAskedForAndOutliveTheirOwner) {
    const std::string large(200 * 1024, 'x');
    const auto content = std::make_shared<const ClipboardContent>(
        ClipboardContent{{CF_TEXT, large + '\0'}, {CF_LOCALE, std::string("\x11\x04\0\0", 4)}});
    {
        Win32Clipboard clipboard;
        ASSERT_TRUE(clipboard.Open());
        clipboard.Put(content);
        clipboard.Close();
        EXPECT_EQ(ClipboardTextNow(), large);
        ASSERT_TRUE(clipboard.Open());
        clipboard.Put(content);
        clipboard.Close();
    }
    EXPECT_EQ(ClipboardTextNow(), large) << "the owner went without rendering what it had put down";
}

TEST(Win32Clipboard, ClipboardHeldByAnotherProgramDoesNotOpen) {
    TestDesktop desktop;
    HWND owner = desktop.TopLevel("owner", kPaneClass);
    Win32Clipboard clipboard;
    {
        ClipboardHeldElsewhere holder;
        ASSERT_TRUE(holder.Held());
        EXPECT_FALSE(clipboard.Open());
    }
    EXPECT_TRUE(clipboard.Open());
    clipboard.Close();
}

TEST(Win32WindowSystem, WideFromAnsiInTheAnsiCodePage) {
    Win32WindowSystem ws;
    EXPECT_EQ(ws.WideFromAnsi("図ab\r"), u"図ab\r");
    EXPECT_EQ(ws.WideFromAnsi(""), u"");
}

// ---- The CAD link against real windows ----

struct RealCad {
    Received main;
    Received text;
    HWND mainWnd = nullptr;
    HWND textWnd = nullptr;
    HWND history = nullptr;
    HWND command = nullptr;
    HWND owner = nullptr;

    RealCad(TestDesktop& desktop, bool unicode) {
        owner = desktop.TopLevel("Marlowen", kPaneClass);
        mainWnd = unicode ? desktop.UnicodeTopLevel(L"AutoCAD 2008 - [Drawing1.dwg]", &main)
                          : desktop.TopLevel("AutoCAD 2008 - [Drawing1.dwg]", kMainClass, &main);
        textWnd = desktop.TopLevel("AutoCAD テキスト ウィンドウ - Drawing1.dwg", kTextClass, &text);
        HWND frame = desktop.Child(textWnd, "");
        history = desktop.Child(frame, "Headlands");
        command = desktop.Child(frame, "MountTam");
    }
};

// The CAD link bound to user32 over a CAD of ANSI windows made in this process.
class CadLinkOnRealWindows : public ::testing::Test {
protected:
    TestDesktop desktop;
    RealCad cad{desktop, false};
    Win32WindowSystem ws;
    Win32Clipboard clipboard;
    Acad8Ctrl ctrl{ws, clipboard};
};

TEST_F(CadLinkOnRealWindows, FindsTheWindowsAndTypesAnsiCommands) {
    ASSERT_TRUE(ctrl.FindAcadWindows());
    EXPECT_EQ(ctrl.AcadMainWnd, H(cad.mainWnd));
    EXPECT_EQ(ctrl.AcadTextWnd, H(cad.textWnd));
    EXPECT_EQ(ctrl.HistoryPaneWnd, H(cad.history));
    EXPECT_EQ(ctrl.CommandPaneWnd, H(cad.command));
    EXPECT_EQ(ctrl.AcadProcessId, GetCurrentProcessId());

    EXPECT_FALSE(ctrl.IsAcadUnicode());
    EXPECT_TRUE(ctrl.SendAcadCommand("filedia\r", ctrl.IsAcadUnicode()));
    EXPECT_EQ(cad.main.dwData, 1u);
    EXPECT_EQ(cad.main.copyData, (std::vector<std::uint8_t>{'f', 'i', 'l', 'e', 'd', 'i', 'a', '\r', 0}));
}

TEST(CadLinkOnUnicodeWindows, MainWindowGetsUtf16Records) {
    TestDesktop desktop;
    RealCad cad(desktop, true);
    Win32WindowSystem ws;
    Win32Clipboard clipboard;
    Acad8Ctrl ctrl(ws, clipboard);
    ASSERT_TRUE(ctrl.IsAcadUnicode());
    EXPECT_TRUE(ctrl.SendAcadCommand("図ab\r", true));
    ASSERT_EQ(cad.main.copyData.size(), 12u);
    EXPECT_EQ(std::vector<std::uint8_t>(cad.main.copyData.begin(), cad.main.copyData.begin() + 10),
              (std::vector<std::uint8_t>{0xF3, 0x56, 'a', 0, 'b', 0, '\r', 0, 0, 0}));
}

TEST_F(CadLinkOnRealWindows, HistoryThroughTheClipboardWhichKeepsTheUsersText) {
    ASSERT_TRUE(PutClipboardText("利用者のコピー", cad.owner));
    cad.text.copiesHistory = true;
    cad.text.history = "コマンド: _open\r\nコマンド: COMMANDLINE\r\n ";
    const HistoryRead read = ctrl.ReadHistory(ctrl.FindCadWindows());
    EXPECT_EQ(read.status, HistoryRead::Status::Read);
    EXPECT_EQ(LastHistoryLine(read.text), "コマンド: COMMANDLINE");
    EXPECT_EQ(cad.text.commandWParam, 32781u);
    EXPECT_EQ(ClipboardTextNow(), "利用者のコピー");
    EXPECT_NE(IsClipboardFormatAvailable(RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing")),
              FALSE);
}

TEST_F(CadLinkOnRealWindows, ClipboardHeldByAnotherProgramIsToldFromCadAtWork) {
    ClipboardHeldElsewhere holder;
    ASSERT_TRUE(holder.Held());
    EXPECT_NE(clipboard.OpenerProcessId(), GetCurrentProcessId());
    EXPECT_EQ(ctrl.ReadHistory(ctrl.FindCadWindows()).status, HistoryRead::Status::Held);
}

TEST_F(CadLinkOnRealWindows, OwnerOfCadsCopyIsCadsProcess) {
    cad.text.copiesHistory = true;
    cad.text.history = "コマンド: COMMANDLINE";
    ASSERT_EQ(ctrl.ReadHistory(ctrl.FindCadWindows()).status, HistoryRead::Status::Read);
    ASSERT_TRUE(PutClipboardText("x", cad.textWnd));
    EXPECT_EQ(clipboard.OwnerProcessId(), GetCurrentProcessId());
}

// A window whose thread is busy: it was made on a thread that then waits without reading a message.
class BusyWindow {
public:
    BusyWindow()
        : free_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), made_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(made_, 10000);
    }
    ~BusyWindow() {
        SetEvent(free_);
        WaitForSingleObject(thread_, 10000);
        for (HANDLE h : {thread_, free_, made_}) CloseHandle(h);
    }
    HWND Window() const { return window_; }

private:
    static DWORD WINAPI Run(LPVOID self) {
        auto* busy = static_cast<BusyWindow*>(self);
        busy->window_ = CreateWindowExA(0, kPaneClass, "busy", WS_OVERLAPPEDWINDOW, 0, 0, 50, 20, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
        SetEvent(busy->made_);
        WaitForSingleObject(busy->free_, INFINITE);
        DestroyWindow(busy->window_);
        return 0;
    }
    HANDLE free_, made_, thread_ = nullptr;
    HWND window_ = nullptr;
};

TEST(Win32WindowSystem, WindowWhoseThreadIsBusyDoesNotHoldTheSender) {
    RegisterTestClasses();
    BusyWindow busy;
    ASSERT_NE(busy.Window(), nullptr);
    Win32WindowSystem ws;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(ws.SendCommand(H(busy.Window()), 32781));
    EXPECT_EQ(ws.SendGetTextLength(H(busy.Window())), std::nullopt);
    const std::uint8_t record[] = {'q', 0};
    EXPECT_FALSE(ws.SendCopyData(H(busy.Window()), 1, record, sizeof record));
    EXPECT_LT(GetTickCount64() - start, 1000u) << "each send waited for the busy thread";
}

TEST_F(CadLinkOnRealWindows, CommandPaneAnswersWithItsText) {
    // In-process the caption is the text, so the pane answers "MountTam".
    EXPECT_EQ(ctrl.ReadCommandPane(), "MountTam");
}

}  // namespace
