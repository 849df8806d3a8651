// What the inspector reads of other programs' windows and of the system, and how it works
// them. Names and titles are taken in the ANSI code page (932), as the windows hold them;
// what is printed is UTF-8, as records of testsupport/InspectorProtocol.h, each ending a line.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "testsupport/Wait.h"
#include "text/Encoding_win.h"

// A command that could not be done (exit code 1), and one called wrongly (exit code 2).
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr DWORD kDefaultWaitMs = 10000;
constexpr DWORD kPollPauseMs = 50;

// Waits by polling, since the windows belong to another process and send us nothing.
inline bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    return PollUntil(done, timeoutMs, [] { Sleep(kPollPauseMs); });
}

inline std::string AnsiToUtf8(std::string_view ansi) {
    return CodePageFromWide(WideFromCodePage(ansi, CP_ACP), CP_UTF8);
}

// ---- Windows (WindowReaders_win.cpp)

// Sends and waits a bounded time for the answer; throws when none comes. The W form takes
// and gives texts as UTF-16.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT SendW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// The top-level window with this title, or whose title ends in " - " and it (a status before
// the name); nothing, or a Failure for the Require forms.
HWND FindTopLevel(const std::string& title);
HWND RequireTopLevel(const std::string& title);
// The window itself or a descendant whose DesignerName property (a global atom) is name.
HWND RequireControl(const std::string& title, const std::string& name);

// "left top right bottom" in screen coordinates.
std::string WindowRectText(HWND hwnd);
std::string ClientRectText(HWND hwnd);

std::string ControlRecord(HWND hwnd);

// Message boxes and the open-file dialog: visible top-level windows of the dialog class.
std::vector<HWND> VisibleDialogs();
HWND FindDialog(const std::string& caption);
std::string MessageBoxRecord(HWND hwnd);
// The dialog's file name box; null for a dialog that has none (a message box).
HWND FileNameBox(HWND dialog);
HWND WaitFileDialog(DWORD timeoutMs);
// Presses the button and waits until the dialog is gone.
void EndDialog(HWND dialog, int button, DWORD timeoutMs);

// ---- The system (SystemReaders_win.cpp)

std::string ProcessTimesText(HWND hwnd);
std::string ProcessList();
std::string VersionText(const std::string& path);
void PutClipboard(const std::string& text, const std::string& format, const std::string& hex);
std::string ClipboardRecord(const std::string& format);
// Keeps the clipboard open for ms, as another program that holds it.
void HoldClipboard(DWORD ms);
