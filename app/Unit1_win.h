// The main window Form1 of class TForm1: its controls, start-up and every handler of the
// program. The handlers live in a few files grouped by road: Unit1_win.cpp (window,
// start-up, message dispatch), Unit1Controls_win.cpp (the control table), Unit1Drop_win.cpp
// (drops), Unit1Run_win.cpp (batch run), Unit1Survey_win.cpp (layout survey),
// Unit1Timers_win.cpp (watchers, what a run's end asks, Close CAD and the timer wait).
#pragma once

#include <windows.h>
// After <windows.h>, which they build on.
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CadRun_win.h"
#include "ListBoxLines_win.h"
#include "OpenDialog_win.h"
#include "RunSupervisor.h"
#include "RunTimers_win.h"
#include "StatusLine_win.h"
#include "StringGrid_win.h"
#include "Tables.h"
#include "WatcherTimer_win.h"
#include "WindowSizes.h"
#include "cadlink/Acad8Ctrl.h"
#include "cadlink/Clipboard_win.h"
#include "cadlink/WindowSystem_win.h"

inline constexpr char kAppTitle[] = "Marlowen";
// Posted to the window to start the rest of a run that stopped, once the tick that asked is over.
inline constexpr UINT kRunTheRestMessage = WM_APP + 1;

class DropData;

class TForm1 {
public:
    TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;
    ~TForm1();

    // Creates the window from its description, hidden; creation ends with FormCreate.
    void Create(HINSTANCE instance);
    HWND Handle() const { return hwnd_; }

    // The error box: stop icon, OK, caption "Marlowen". A second error while one box is open
    // is not stacked on top of it (a failing watcher would open one every 300 ms).
    void ShowErrorBox(const char* message) noexcept;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCommand(HWND control, WORD code);
    void OnTimer(UINT_PTR id);
    void OnActivate(WORD state);

    // Window and controls (Unit1Controls_win.cpp). Positions are design pixels at 96 dpi.
    struct DesignRect {
        int left, top, width, height;
    };
    static void RegisterPanelClass(HINSTANCE instance);
    static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    HWND AddControl(const char* name, DWORD exStyle, const char* windowClass, const char* text, DWORD style,
                    HWND parent, DesignRect design, void* createParam = nullptr);
    void SetDesignerName(HWND window, const char* name);
    HWND AddLabel(const char* name, int left, int top, int width, int height, const char* text);
    HWND AddEdit(const char* name, int left, int top, int width, int height, const char* text);
    HWND AddButton(const char* name, HWND parent, int left, int top, int width, int height, const char* text,
                   DWORD extraStyle);
    void AddListBox(ListBoxLines& box, const char* name, int left, int top, int width, int height, bool tabStop);
    void AddGrid(StringGrid& grid, const char* name, int left, int top, int width, int height, bool tabStop);
    HWND AddMemo(const char* name, int left, int top, int width, int height);
    HWND AddTreeView(const char* name, int left, int top, int width, int height);
    HWND AddPanel(const char* name, int left, int top, int width, int height);
    int Scale(int designPixels) const { return ScaleForDpi(designPixels, dpi_); }
    HWND FindComponent(std::string_view name) const;

    // Small helpers over the controls (Unit1_win.cpp).
    void SetOuterHeight(int height);
    void SetOuterWidth(int width);
    std::string SettingsPath() const;
    static std::string ControlText(HWND control);
    // Repaints what is due at once: a handler about to start CAD, which takes Wine tens of
    // milliseconds, lets the window show the drop's changes first.
    void PaintNow();

    // Start-up and the CAD program dialog (Unit1_win.cpp).
    void FormCreate();
    void btnAutoFileClick();

    // Drops (Unit1Drop_win.cpp).
    void WMDropFiles(HDROP drop);
    bool ReadDroppedDrawings(DropData& drop);
    void StoreDroppedFile(const std::string& path, int i);
    // The two roads of a drop, and of the rest of a run that stopped: the drawings in drop
    // order. layoutRows: the rows of the layout table the batch's drawings are looked for in.
    void SectionDrop(const LineList& paths, int sectionNumber, int layoutRows, bool continuing);
    void SurveyDrop(const LineList& paths);
    HWND ControlAt(POINT screenPoint) const;

    // Batch run (Unit1Run_win.cpp).
    void RunTemplateScript(std::int32_t lineCount);
    void WriteScriptFile(const LineList& lines);

    // Layout survey (Unit1Survey_win.cpp).
    void CollectLayoutNames(std::int32_t n);
    bool SurveyGoesOnAfter(const WatcherTimer& timer, std::int32_t n);
    void ForgetSurveyedLayouts(std::int32_t n);
    void AddTreeNodes(const std::string& rootText, const LineList& entries);
    void ClearTree();
    void Button11Click();

    // Watchers, what a run's end asks, Close CAD and the timer wait (Unit1Timers_win.cpp).
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    void SoonTimerTimer();
    void Button12Click();
    void ShowRunReport(const RunReport& report);
    void AskAboutTheRest(const RunReport& report);
    void RunTheRest();
    void ShowStatus();
    void FlashIfBehind();
    // False when the window was closed during the wait.
    bool WaitForTimer(const WatcherTimer& timer);

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    int dpi_ = kDesignDpi;
    OuterSizes outer_ = OuterSizesForDpi(kDesignDpi);
    HFONT font_ = nullptr;
    HIMAGELIST treeImages_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool showingError_ = false;
    std::vector<std::pair<std::string, HWND>> components_;
    std::vector<ATOM> designerNames_;

    // One field per component, in the window description's order.
    HWND Edit1 = nullptr;
    HWND Label1 = nullptr;
    OpenDialog OpenDialog1;
    HWND btnAutoFile = nullptr;
    HWND Button1 = nullptr;
    ListBoxLines ListBox1;
    ListBoxLines ListBox2;
    ListBoxLines ListBox3;
    HWND Button2 = nullptr;
    HWND Button3 = nullptr;
    WatcherTimer Timer1{1};
    HWND Button10 = nullptr;
    StringGrid StringGrid1;
    HWND Button11 = nullptr;
    HWND TreeView1 = nullptr;
    StringGrid StringGrid2;
    HWND Button12 = nullptr;
    HWND Memo1 = nullptr;
    HWND Button4 = nullptr;
    HWND Button5 = nullptr;
    HWND Button6 = nullptr;
    ListBoxLines ListBox4;
    HWND Button7 = nullptr;
    HWND Button8 = nullptr;
    HWND Button9 = nullptr;
    HWND Panel1 = nullptr;
    WatcherTimer Timer2{2};
    WatcherTimer Timer3{3};
    // The run watcher: the run's CAD, the batch's progress and the status line, from CAD's
    // start until it has quit.
    WatcherTimer Timer4{4};

    std::array<HWND, 10> FButtons{};  // 1 … 9; entry 0 unused
    std::int32_t FDropCount = 0;
    bool readingFolders_ = false;

    // The CAD link, one for the process.
    Win32WindowSystem windowSystem_;
    std::unique_ptr<Win32Clipboard> clipboard_;
    std::unique_ptr<Acad8Ctrl> acad_;
    // The run of the CAD program, from its start until it has quit, and its supervision.
    Win32Processes processes_;
    CadRun run_{processes_};
    // The one-shot timer for what a tick left to be done soon: CAD's next text, a pane to read.
    static constexpr UINT_PTR kSoonTimer = 5;
    FormRunTimers runTimers_{Timer1, Timer2, Timer3, Timer4, kSoonTimer};
    RecordFileInFolder recordFile_;
    std::unique_ptr<RunSupervisor> supervisor_;
    StatusLine statusLine_;
    // The last batch's button and the rows of the layout table its drawings are looked for in,
    // for the rest of it; and the rest an answer asked for, started once the tick has returned.
    int runSection_ = 0;
    int runLayoutRows_ = 0;
    bool runContinues_ = false;
    LineList restPaths_;
    bool restIsSurvey_ = false;
};

// The main window; assigned before its creation code runs.
extern TForm1* Form1;
