// The stand-in CAD's window side (what it shows and answers is listed at the head of
// StandInCad_win.cpp): the windows and panes in StandInWindows_win.cpp, the session's pump,
// the log and the ends of the process in StandIn_win.cpp.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CadSession.h"
#include "LogFile.h"
#include "StandInOptions_win.h"
#include "text/Encoding_win.h"

// The stand-in's texts are Shift-JIS whatever the system's code page. Characters that code
// page lacks come out as CAD's own conversion gives them, look-alikes taken.
inline constexpr UINT kShiftJis = 932;
inline std::wstring Wide(std::string_view text) { return WideFromCodePage(text, kShiftJis); }
inline std::string ShiftJis(std::wstring_view text) {
    return CodePageFromWide(text, kShiftJis, nullptr, LookAlikes::Taken);
}

inline constexpr UINT_PTR kStartTimer = 1;
inline constexpr UINT_PTR kCommandTimer = 2;
inline constexpr UINT_PTR kQuitTimer = 3;
inline constexpr UINT kPumpMessage = WM_APP + 1;
inline constexpr UINT kExecuteMessage = WM_APP + 2;

// Kept in the pane's GWLP_USERDATA; 0 until WM_NCCREATE has stored it.
enum class PaneRole : LONG_PTR { History = 1, Command = 2 };

// The window procedures: each hands the message to the StandIn's handler, and a fault that
// the handler throws ends the process as a failure.
LRESULT CALLBACK MainWndProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK TextWndProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK CommandLineWndProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK PaneWndProc(HWND h, UINT m, WPARAM w, LPARAM l);
LRESULT CALLBACK DialogWndProc(HWND h, UINT m, WPARAM w, LPARAM l);

class StandIn {
public:
    explicit StandIn(Options options);
    int Run();
    bool Launching() const { return options_.launch; }
    UINT ExitAfter() const { return options_.exitAfter.value_or(0); }
    // A site's start-up program: starts CAD and ends at once, without a window.
    int Launch();
    // Ends like a crash, whatever the process is doing: no quit sequence, exit code 3.
    [[noreturn]] void EndAbruptly();
    // A fault of the stand-in itself: logged, and the process ends with exit code 4.
    [[noreturn]] void Fail(std::string_view what);

    LRESULT MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT TextProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT CommandLineProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    [[noreturn]] void End(UINT code, std::optional<std::string_view> failure);
    void Log(const std::string& line) { log_.Write(line); }
    LRESULT Default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const;
    void RegisterWindowClass(const char* name, WNDPROC proc, int background) const;
    HWND Create(const char* cls, const std::string& title, DWORD style, int x, int y, int w, int h, HWND parent,
                LPVOID param = nullptr) const;
    void SetText(HWND hwnd, const std::string& text) const;
    void DrawText(HDC dc, int x, int y, const std::string& text) const;
    void ShowSplash();
    void ShowUp();
    void CreateWindows();
    void CreatePanes(HWND parent);
    void LayoutPanes(HWND parent, int historyHeight);
    void Refresh();

    void OnCopyData(const COPYDATASTRUCT& record);
    void OnStartTimer();
    void Pump();
    void ExecuteTaken();
    void ShowDialog(const std::string& title, const std::string& text, const std::string& button);
    void CopyHistory();
    void OnPaneCreate(HWND pane, PaneRole role);
    LRESULT AnswerPaneText(HWND pane, UINT msg, WPARAM wp, LPARAM lp);
    void FillDialog(HWND dialog);
    void PaintMain(HWND hwnd);
    void PaintPrompt(HWND hwnd);
    // Logs the quit's end at once; the windows go delay later, taking no more input meanwhile.
    void Exit(UINT delay);

    Options options_;
    LogFile log_;
    CadSession session_;
    HFONT font_ = nullptr;
    HWND main_ = nullptr;
    HWND text_ = nullptr;
    HWND commandLine_ = nullptr;
    HWND splash_ = nullptr;
    std::vector<HWND> historyViews_;  // the read-only EDITs inside every "Headlands"
    std::vector<HWND> commandPanes_;  // every "MountTam"
    std::string dialogText_;
    std::string dialogButton_;
    std::string shownHistory_;
    bool busy_ = false;
    bool exiting_ = false;
};
