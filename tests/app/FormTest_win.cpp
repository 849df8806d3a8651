// The main window's Win32 building blocks on their own, under Wine.
#include <windows.h>
// After <windows.h>, which it builds on: DROPFILES.
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/DropData_win.h"
#include "app/DroppedFolders_win.h"
#include "app/InfoBox_win.h"
#include "app/ListBoxLines_win.h"
#include "app/MessageLoop_win.h"
#include "app/RedrawSuspended_win.h"
#include "app/StringGrid_win.h"
#include "app/WatcherTimer_win.h"
#include "app/WindowSizes.h"
#include "tests/app/NameOrderCases.h"
#include "testsupport/TempFolder.h"
#include "text/AppError.h"

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

}  // namespace

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

namespace {
SCROLLINFO ScrollInfo(HWND hwnd, int bar) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd, bar, &info);
    return info;
}

void ExpectSameScrollBar(HWND bulk, HWND single, int bar) {
    const SCROLLINFO a = ScrollInfo(bulk, bar), b = ScrollInfo(single, bar);
    EXPECT_EQ(a.nMin, b.nMin);
    EXPECT_EQ(a.nMax, b.nMax);
    EXPECT_EQ(a.nPage, b.nPage);
    EXPECT_EQ(a.nPos, b.nPos);
}

HWND MakeGridWindow(HWND parent, StringGrid& grid) {
    grid.PrepareCreate(96);
    return CreateWindowExA(0, StringGrid::kWindowClass, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 293,
                           120, parent, nullptr, GetModuleHandleA(nullptr), &grid);
}

// A drop's rows and a drawing's columns, as the handlers write them.
void FillLikeADrop(StringGrid& grid) {
    grid.SetRowCount(1001);
    for (int row = 1; row <= 1000; ++row) grid.SetCell(0, row, "C:\\d\\" + std::to_string(row) + ".dwg");
    grid.SetColCount(1503);
}
}  // namespace

TEST(BulkChange, GridChangedWithRedrawOffEndsWithTheScrollBarsAndCellsOfOneChangeAtATime) {
    Host host;
    StringGrid bulk({5, 5, 1, {64, 72, 64, 64, 64}});
    StringGrid single({5, 5, 1, {64, 72, 64, 64, 64}});
    ASSERT_TRUE(MakeGridWindow(host.hwnd, bulk));
    ASSERT_TRUE(MakeGridWindow(host.hwnd, single));
    {
        const RedrawSuspended quiet({bulk.Handle()});
        FillLikeADrop(bulk);
    }
    FillLikeADrop(single);
    ExpectSameScrollBar(bulk.Handle(), single.Handle(), SB_VERT);
    ExpectSameScrollBar(bulk.Handle(), single.Handle(), SB_HORZ);
    EXPECT_EQ(ScrollInfo(bulk.Handle(), SB_VERT).nMax, 999) << "rows 1 … 1000 below the fixed row";
    EXPECT_EQ(ScrollInfo(bulk.Handle(), SB_HORZ).nMax, 1502);
    const LRESULT length = SendMessageA(bulk.Handle(), WM_GETTEXTLENGTH, 0, 0);
    EXPECT_EQ(length, SendMessageA(single.Handle(), WM_GETTEXTLENGTH, 0, 0));
    std::string a(static_cast<std::size_t>(length) + 1, '\0'), b = a;
    SendMessageA(bulk.Handle(), WM_GETTEXT, a.size(), reinterpret_cast<LPARAM>(a.data()));
    SendMessageA(single.Handle(), WM_GETTEXT, b.size(), reinterpret_cast<LPARAM>(b.data()));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.rfind("cols=1503 rows=1001\r\n", 0), 0u);
}

TEST(BulkChange, ListBoxFilledWithRedrawOffHoldsEveryItemAndScrollsToTheLast) {
    Host host;
    ListBoxLines bulk, single;
    for (ListBoxLines* box : {&bulk, &single})
        box->Attach(CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0,
                                    169, 105, host.hwnd, nullptr, GetModuleHandleA(nullptr), nullptr));
    {
        const RedrawSuspended quiet({bulk.Handle()});
        for (int i = 0; i < 1000; ++i) bulk.Add(std::to_string(i));
    }
    for (int i = 0; i < 1000; ++i) single.Add(std::to_string(i));
    EXPECT_EQ(SendMessageA(bulk.Handle(), LB_GETCOUNT, 0, 0), 1000);
    ExpectSameScrollBar(bulk.Handle(), single.Handle(), SB_VERT);
    EXPECT_EQ(ScrollInfo(bulk.Handle(), SB_VERT).nMax, 999);

    bulk.Clear();
    EXPECT_EQ(SendMessageA(bulk.Handle(), LB_GETCOUNT, 0, 0), 0);
    bulk.Add("after");
    EXPECT_EQ(SendMessageA(bulk.Handle(), LB_GETCOUNT, 0, 0), 1) << "an emptied list takes items again";
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

TEST(WatcherTimerTicks, TimerTheSystemRefusesRaisesAndStaysDisarmed) {
    HWND gone = nullptr;
    {
        Host host;
        gone = host.hwnd;
    }
    WatcherTimer timer(1);
    timer.Attach(gone);
    EXPECT_THROW(timer.Arm(), AppError);
    EXPECT_FALSE(timer.Enabled()) << "a timer wait on this flag would never end";
}

namespace {
// What a thread timer sees of the information box before it presses OK.
struct SeenBox {
    static inline RECT rect{};
    static inline std::string text;
    static inline std::wstring wideText;
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
        wchar_t wide[256] = {};
        GetDlgItemTextW(box, 0xFFFF, wide, 256);
        wideText = wide;
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
}  // namespace

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

TEST(InfoBoxPlacement, WideTextShowsEveryCharacterWholeAtTheSamePlace) {
    SeenBox::found = false;
    SetCursorPos(400, 300);
    SetTimer(nullptr, 0, 50, SeenBox::Look);
    // Outside the test macros: their texts of the expressions are narrow, and CP932 lacks these.
    const std::wstring names = L"C:\\d\\\U00020BB7野家.dwg\r\nC:\\d\\한글.dwg";
    ShowInfoBox(nullptr, std::wstring_view(names));
    ASSERT_TRUE(SeenBox::found);
    EXPECT_EQ(SeenBox::wideText, names);
    EXPECT_EQ(SeenBox::rect.left, 300);
    EXPECT_EQ(SeenBox::rect.top, 250);
}

namespace {
// The shell's drop data for these paths, as an XDND drop under Wine gives it: UTF-16.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    std::size_t units = 1;
    for (const auto& path : paths) units += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(files + 1);
    for (const auto& path : paths) {
        path.copy(out, path.size());
        out += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool Holds(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }
}  // namespace

TEST(DroppedPaths, AreReadWholeIntoShiftJisUpToTwoHundredSixtyBytes) {
    // 表 is 0x95 0x5C; 130 of them after "C:\" are 263 bytes, 128 are 259.
    const std::wstring table = L"C:\\表\\図面 1.dwg";
    const std::wstring longest = L"C:\\" + std::wstring(128, L'表') + L"a";
    DropData drop(MakeDrop({table, longest}));
    ASSERT_EQ(drop.Count(), 2);
    drop.ReadPaths({});
    EXPECT_EQ(drop.Path(0), "C:\\表\\図面 1.dwg");
    EXPECT_EQ(drop.Path(1).size(), 260u);
    std::string tables;
    for (int i = 0; i < 128; ++i) tables += "表";
    EXPECT_EQ(drop.Path(1), "C:\\" + tables + "a");
    EXPECT_EQ(drop.RefusalText(), L"");
}

TEST(DroppedPaths, CharacterTheCodePageLacksOrOverTwoHundredSixtyBytesIsRefusedByItsWholeName) {
    const std::wstring yoshi = L"C:\\d\\\U00020BB7野家.dwg";
    const std::wstring hangul = L"C:\\d\\한글.dwg";
    // Without WC_NO_BEST_FIT_CHARS é would come out as a plain e, silently another name.
    const std::wstring accent = L"C:\\d\\café.dwg";
    const std::wstring tooLong = L"C:\\" + std::wstring(129, L'表');  // 261 bytes
    const std::wstring good = L"C:\\d\\plan.dwg";
    DropData drop(MakeDrop({good, yoshi, hangul, accent, tooLong}));
    drop.ReadPaths({});
    const std::wstring text = drop.RefusalText();
    for (const auto& name : {yoshi, hangul, accent, tooLong}) EXPECT_TRUE(Holds(text, L"\r\n" + name)) << name.size();
    EXPECT_FALSE(Holds(text, good));
    EXPECT_TRUE(Holds(text, L"「?」に変わります"));
    EXPECT_TRUE(Holds(text, L"260 バイト"));
    EXPECT_EQ(text.substr(text.size() - tooLong.size()), tooLong);
}

TEST(DroppedPaths, RefusalNamesTheFirstTenAndCountsTheOthers) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < 12; ++i) paths.push_back(L"C:\\d\\\U00020BB7" + std::to_wstring(i) + L".dwg");
    DropData drop(MakeDrop(paths));
    drop.ReadPaths({});
    const std::wstring text = drop.RefusalText();
    EXPECT_TRUE(Holds(text, paths[9] + L"\r\nほか 2 件"));
    EXPECT_FALSE(Holds(text, paths[10]));
    EXPECT_FALSE(Holds(text, L"260 バイト")) << "only the reasons that apply";
}

TEST(DroppedFolders, ShellOrderAgreesWithThePortableOrderOnItsCases) {
    for (const NameOrderCase& c : kNameOrderCases)
        EXPECT_EQ(Sign(StrCmpLogicalW(c.a, c.b)), c.sign)
            << testing::PrintToString(std::wstring(c.a)) << " vs " << testing::PrintToString(std::wstring(c.b));
}

TEST(DroppedFolders, AFolderIsReadInTheShellsOrderAndItsHiddenFilesAreLeftOut) {
    const TempFolder temp;
    const std::wstring root = std::filesystem::path(temp.Path()).wstring() + L"\\図面";
    for (const wchar_t* folder : {L"", L"\\10F", L"\\2F", L"\\詳細図", L"\\空"})
        CreateDirectoryW((root + folder).c_str(), nullptr);
    // Under Wine a name starting with "." is a hidden file.
    for (const wchar_t* file : {L"\\10F\\x10.dwg", L"\\10F\\x9.DWG", L"\\10F\\x9.bak", L"\\2F\\.hidden.dwg",
                                L"\\2F\\b.dwg", L"\\詳細図\\d.dwg", L"\\a.dwg"}) {
        const HANDLE handle = CreateFileW((root + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        CloseHandle(handle);
    }
    DropData drop(MakeDrop({root, L"C:\\d\\beside.txt"}));
    drop.ReadPaths({});
    EXPECT_EQ(drop.RefusalText(), L"");
    std::vector<std::string> paths;
    for (int i = 0; i < drop.PathCount(); ++i) paths.push_back(drop.Path(i));
    const std::string ansiRoot = temp.Path() + "\\図面";
    EXPECT_EQ(paths, (std::vector<std::string>{ansiRoot + "\\2F\\b.dwg", ansiRoot + "\\10F\\x9.DWG",
                                               ansiRoot + "\\10F\\x10.dwg", ansiRoot + "\\詳細図\\d.dwg",
                                               ansiRoot + "\\a.dwg", "C:\\d\\beside.txt"}));

    DropData empty(MakeDrop({root + L"\\空"}));
    empty.ReadPaths({});
    EXPECT_EQ(empty.PathCount(), 0);
    EXPECT_TRUE(Holds(empty.RefusalText(), L"次のフォルダーには図面 (名前が .dwg で終わるファイル) がない"));
    EXPECT_TRUE(Holds(empty.RefusalText(), L"\r\n" + root + L"\\空"));
}
