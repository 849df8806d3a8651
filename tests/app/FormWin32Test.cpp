// The main window's Win32 building blocks on their own, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/InfoBox.h"
#include "app/ListBoxLines.h"
#include "app/MessageLoop.h"
#include "app/StringGrid.h"
#include "app/WatcherTimer.h"
#include "app/WindowSizes.h"

namespace {

// A hidden top-level window to hold the controls under test; it counts WM_APP and timer ticks.
struct Host {
    static inline int appMessages = 0;
    static inline int ticks = 0;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_APP) ++appMessages;
        if (msg == WM_TIMER) ++ticks;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    Host() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MarlowenTestHost";
        RegisterClassA(&wc);
        StringGrid::RegisterWindowClass(wc.hInstance);
        hwnd = CreateWindowExA(0, "MarlowenTestHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                               wc.hInstance, nullptr);
        appMessages = 0;
        ticks = 0;
    }
    ~Host() { DestroyWindow(hwnd); }
    HWND hwnd;
};

std::string WindowText(HWND hwnd, WPARAM bufferSize) {
    std::string buffer(bufferSize, '\x7F');
    const LRESULT n = SendMessageA(hwnd, WM_GETTEXT, bufferSize, reinterpret_cast<LPARAM>(buffer.data()));
    EXPECT_EQ(buffer[static_cast<std::size_t>(n)], '\0');
    return buffer.substr(0, static_cast<std::size_t>(n));
}

void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
        ProcessPendingMessages(nullptr);
        Sleep(10);
    }
}

} // namespace

TEST(StringGridWindow, AnswersGetTextWithTheCellsWithinItsCounts) {
    Host host;
    StringGrid grid({3, 1, 1, {64, 72}});
    grid.PrepareCreate(96);
    ASSERT_TRUE(CreateWindowExA(0, StringGrid::kWindowClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, host.hwnd,
                                nullptr, GetModuleHandleA(nullptr), &grid));
    grid.SetCell(0, 0, "FULLFILEPATH");
    grid.SetCell(0, 2, "C:\\表\\a.dwg");
    const std::string oneRow = "cols=3 rows=1\r\nFULLFILEPATH\t\t";
    EXPECT_EQ(SendMessageA(grid.Handle(), WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(oneRow.size()));
    EXPECT_EQ(WindowText(grid.Handle(), 256), oneRow);
    grid.SetRowCount(3);
    EXPECT_EQ(WindowText(grid.Handle(), 256), "cols=3 rows=3\r\nFULLFILEPATH\t\t\r\n\t\t\r\nC:\\表\\a.dwg\t\t");
}

TEST(StringGridWindow, ShortBufferGetsTheStartOfTheTextAndItsZero) {
    Host host;
    StringGrid grid({5, 1, 0, {}});
    grid.PrepareCreate(96);
    ASSERT_TRUE(CreateWindowExA(0, StringGrid::kWindowClass, "", WS_CHILD, 0, 0, 200, 100, host.hwnd, nullptr,
                                GetModuleHandleA(nullptr), &grid));
    EXPECT_EQ(WindowText(grid.Handle(), 6), "cols=");
}

TEST(ListBoxMirror, WindowItemsFollowTheModel) {
    Host host;
    ListBoxLines box;
    box.Attach(CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VSCROLL, 0, 0, 100, 100, host.hwnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr));
    box.Assign({"open", "", "ﾚｲｱｳﾄ"});
    box.Add("[LAYOUTLOOP]");
    ASSERT_EQ(SendMessageA(box.Handle(), LB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        char item[64] = {};
        SendMessageA(box.Handle(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(item, box.Lines()[i]) << i;
    }
    box.Clear();
    EXPECT_EQ(SendMessageA(box.Handle(), LB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(box.Lines().empty());
}

TEST(MessagePump, DispatchesWhatIsPendingAndReportsQuitPostingItAgain) {
    Host host;
    PostMessageA(host.hwnd, WM_APP, 0, 0);
    EXPECT_TRUE(ProcessPendingMessages(host.hwnd));
    EXPECT_EQ(Host::appMessages, 1);

    PostMessageA(host.hwnd, WM_APP, 0, 0);
    PostQuitMessage(7);
    EXPECT_FALSE(ProcessPendingMessages(host.hwnd));
    EXPECT_EQ(Host::appMessages, 2);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(WatcherTimerTicks, TickWhileArmedAndStopWhenDisarmed) {
    Host host;
    WatcherTimer timer(1);
    timer.Attach(host.hwnd);
    EXPECT_FALSE(timer.Enabled());
    timer.Arm();
    timer.Arm();
    EXPECT_TRUE(timer.Enabled());
    PumpFor(2 * WatcherTimer::kInterval + 150);
    EXPECT_GE(Host::ticks, 1);
    timer.Disarm();
    EXPECT_FALSE(timer.Enabled());
    const int ticksAtDisarm = Host::ticks;
    PumpFor(2 * WatcherTimer::kInterval + 150);
    EXPECT_EQ(Host::ticks, ticksAtDisarm);
}

namespace {
// What a thread timer sees of the information box before it presses OK.
struct SeenBox {
    static inline RECT rect{};
    static inline std::string text;
    static inline bool found = false;
    static void CALLBACK Look(HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowA("#32770", "情報");
        if (!box) return;
        KillTimer(nullptr, id);
        found = true;
        GetWindowRect(box, &rect);
        char buffer[256] = {};
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        text = buffer;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
};

RECT ShowInfoBoxWithCursorAt(int x, int y) {
    SeenBox::found = false;
    SetCursorPos(x, y);
    SetTimer(nullptr, 0, 50, SeenBox::Look);
    ShowInfoBox(nullptr, "INIファイルが見つかりません。");
    EXPECT_TRUE(SeenBox::found);
    return SeenBox::rect;
}
} // namespace

TEST(InfoBoxPlacement, StandsHundredLeftAndFiftyAboveTheCursor) {
    const RECT rect = ShowInfoBoxWithCursorAt(400, 300);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 250);
    EXPECT_EQ(SeenBox::text, "INIファイルが見つかりません。");
}

TEST(InfoBoxPlacement, NegativeCoordinateKeepsTheCentredPlaceInThatDirection) {
    const RECT centred = ShowInfoBoxWithCursorAt(10, 10);
    EXPECT_GT(centred.left, 0);
    EXPECT_GT(centred.top, 0);
    const RECT nearLeftEdge = ShowInfoBoxWithCursorAt(10, 300);
    EXPECT_EQ(nearLeftEdge.left, centred.left);
    EXPECT_EQ(nearLeftEdge.top, 250);
}

TEST(DensityScaling, AgreesWithMulDivForEverySizeOfTheWindow) {
    // Controls, font and outer sizes are scaled by the portable rule; Windows' own rounding
    // is the reference.
    for (int dpi : {72, 96, 120, 144, 168, 192, 240, 288})
        for (int pixels = -50; pixels <= 1000; ++pixels)
            ASSERT_EQ(ScaleForDpi(pixels, dpi), MulDiv(pixels, dpi, 96)) << pixels << " at " << dpi << " dpi";
}
