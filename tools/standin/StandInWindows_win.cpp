// The stand-in's windows and panes: their classes, creation and layout, what they show, and
// the answers of the command pane and the dialogs.
#include <cstring>

#include "StandIn_win.h"
#include "testsupport/StandInContract.h"
#include "text/ShiftJis.h"

namespace {

constexpr int kPromptHeight = 22;
constexpr int kDockedHistoryHeight = 66;
const char kPaneClass[] = "StandInPane";
const char kDialogClass[] = "StandInDialog";

// Cuts text to at most max bytes without splitting a two-byte character.
std::size_t FitShiftJis(const std::string& text, std::size_t max) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t step = IsShiftJisLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + step > max) break;
        i += step;
    }
    return i;
}

}  // namespace

LRESULT StandIn::Default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const {
    return options_.unicode ? DefWindowProcW(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

void StandIn::RegisterWindowClass(const char* name, WNDPROC proc, int background) const {
    if (options_.unicode) {
        const std::wstring wideName = Wide(name);
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = GetSysColorBrush(background);
        wc.lpszClassName = wideName.c_str();
        RegisterClassW(&wc);
    } else {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = GetSysColorBrush(background);
        wc.lpszClassName = name;
        RegisterClassA(&wc);
    }
}

HWND StandIn::Create(const char* cls, const std::string& title, DWORD style, int x, int y, int w, int h, HWND parent,
                     LPVOID param) const {
    if (options_.unicode) {
        return CreateWindowExW(0, Wide(cls).c_str(), Wide(title).c_str(), style, x, y, w, h, parent, nullptr,
                               GetModuleHandleW(nullptr), param);
    }
    return CreateWindowExA(0, cls, title.c_str(), style, x, y, w, h, parent, nullptr, GetModuleHandleA(nullptr), param);
}

void StandIn::SetText(HWND hwnd, const std::string& text) const {
    if (options_.unicode) SetWindowTextW(hwnd, Wide(text).c_str());
    else SetWindowTextA(hwnd, text.c_str());
}

void StandIn::DrawText(HDC dc, int x, int y, const std::string& text) const {
    const std::wstring wide = Wide(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

// What CAD shows at once while it loads: the main window's title on a class of its own, so that
// a search for the main window passes it over.
void StandIn::ShowSplash() {
    RegisterWindowClass(standin::kSplashClass, options_.unicode ? DefWindowProcW : DefWindowProcA, COLOR_APPWORKSPACE);
    splash_ = Create(standin::kSplashClass, standin::kMainTitle, WS_POPUP | WS_BORDER | WS_VISIBLE, 312, 259, 400, 250,
                     nullptr);
    Log("splash");
}

// The windows, and the start-up prompt /startdelay after them.
void StandIn::ShowUp() {
    CreateWindows();
    Refresh();
    SetTimer(main_, kStartTimer, options_.startDelay, nullptr);
}

void StandIn::CreateWindows() {
    RegisterWindowClass(standin::kMainClass, MainWndProc, COLOR_APPWORKSPACE);
    RegisterWindowClass(standin::kTextClass, TextWndProc, COLOR_BTNFACE);
    RegisterWindowClass(standin::kCommandLineClass, CommandLineWndProc, COLOR_BTNFACE);
    RegisterWindowClass(kPaneClass, PaneWndProc, COLOR_WINDOW);
    RegisterWindowClass(kDialogClass, DialogWndProc, COLOR_BTNFACE);

    // Placed right of and below Marlowen's window (100, 100; 325 x 460 at most) on a 1024 x 768
    // screen, so that a screenshot shows both.
    text_ =
        Create(standin::kTextClass, standin::kTextTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 440, 0, 584, 470, nullptr);
    CreatePanes(text_);
    main_ =
        Create(standin::kMainClass, standin::kMainTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 440, 475, 584, 293, nullptr);
    if (options_.floating) {
        commandLine_ = Create(standin::kCommandLineClass, standin::kCommandLineTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              0, 570, 435, 198, nullptr);
        CreatePanes(commandLine_);
    } else {
        CreatePanes(main_);
    }
    RECT rc;
    for (HWND top : {text_, main_, commandLine_}) {
        if (top && GetClientRect(top, &rc)) SendMessageW(top, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    }
}

void StandIn::CreatePanes(HWND parent) {
    PaneRole history = PaneRole::History;
    PaneRole command = PaneRole::Command;
    Create(kPaneClass, standin::kHistoryPaneCaption, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10, parent,
           &history);
    Create(kPaneClass, standin::kCommandPaneCaption, WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 10, 10, parent, &command);
}

// The two panes fill the bottom of the parent: the history above the one-line command pane.
// A historyHeight of 0 lets the history take all the room left.
void StandIn::LayoutPanes(HWND parent, int historyHeight) {
    RECT rc;
    GetClientRect(parent, &rc);
    const int height = rc.bottom - rc.top;
    const int historyTop = historyHeight == 0 ? 0 : height - kPromptHeight - historyHeight;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const auto role = static_cast<PaneRole>(GetWindowLongPtrW(child, GWLP_USERDATA));
        if (role == PaneRole::History) {
            MoveWindow(child, 0, historyTop, rc.right, height - kPromptHeight - historyTop, TRUE);
        } else if (role == PaneRole::Command) {
            MoveWindow(child, 0, height - kPromptHeight, rc.right, kPromptHeight, TRUE);
        }
    }
}

void StandIn::Refresh() {
    const Drawing& drawing = session_.Active();
    const std::string mainTitle = standin::kMainTitle;
    const std::string textTitle = standin::kTextTitle;
    SetText(main_, drawing.name.empty() ? mainTitle : mainTitle + " - [" + drawing.name + "]");
    SetText(text_, drawing.name.empty() ? textTitle : textTitle + " - " + drawing.name);
    const std::string history = session_.History();
    if (history != shownHistory_) {
        shownHistory_ = history;
        for (HWND view : historyViews_) {
            SetText(view, history);
            SendMessageW(view, EM_LINESCROLL, 0, SendMessageW(view, EM_GETLINECOUNT, 0, 0));
        }
    }
    for (HWND pane : commandPanes_) InvalidateRect(pane, nullptr, TRUE);
    InvalidateRect(main_, nullptr, TRUE);
}

LRESULT StandIn::MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COPYDATA: OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lp)); return TRUE;
    case WM_TIMER:
        if (wp == kStartTimer) OnStartTimer();
        else if (wp == kCommandTimer) ExecuteTaken();
        else if (wp == kQuitTimer) PostQuitMessage(0);
        return 0;
    case kPumpMessage: Pump(); return 0;
    case kExecuteMessage: ExecuteTaken(); return 0;
    case WM_SIZE:
        if (!options_.floating) LayoutPanes(hwnd, kDockedHistoryHeight);
        return 0;
    case WM_PAINT: PaintMain(hwnd); return 0;
    case WM_CLOSE: Exit(0); return 0;  // the operator closing CAD: no delay
    }
    return Default(hwnd, msg, wp, lp);
}

LRESULT StandIn::TextProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == standin::kCopyHistoryCommand) CopyHistory();
        return 0;
    case WM_SIZE: LayoutPanes(hwnd, 0); return 0;
    case WM_CLOSE: ShowWindow(hwnd, SW_HIDE); return 0;  // CAD only hides its text window
    }
    return Default(hwnd, msg, wp, lp);
}

LRESULT StandIn::CommandLineProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: LayoutPanes(hwnd, 0); return 0;
    case WM_CLOSE: ShowWindow(hwnd, SW_HIDE); return 0;
    }
    return Default(hwnd, msg, wp, lp);
}

// A pane's caption stays "Headlands" or "MountTam" in the window system, which is what
// another process's GetWindowTextA reads; a command pane answers WM_GETTEXT with the output.
LRESULT StandIn::PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto role = static_cast<PaneRole>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(*static_cast<PaneRole*>(create->lpCreateParams)));
        return Default(hwnd, msg, wp, lp);
    }
    case WM_CREATE: OnPaneCreate(hwnd, role); return 0;
    case WM_SIZE:
        if (HWND view = GetWindow(hwnd, GW_CHILD)) MoveWindow(view, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (role == PaneRole::Command) return AnswerPaneText(hwnd, msg, wp, lp);
        break;
    case WM_PAINT:
        if (role == PaneRole::Command) {
            PaintPrompt(hwnd);
            return 0;
        }
        break;
    }
    return Default(hwnd, msg, wp, lp);
}

// A history pane shows the history in a read-only EDIT, created without a caption so that
// nothing but the panes carries one.
void StandIn::OnPaneCreate(HWND pane, PaneRole role) {
    if (role == PaneRole::Command) {
        commandPanes_.push_back(pane);
        return;
    }
    HWND view = Create("EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                       0, 10, 10, pane);
    SendMessageW(view, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(view, EM_SETLIMITTEXT, 0, 0);
    historyViews_.push_back(view);
}

LRESULT StandIn::AnswerPaneText(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    const std::string text = session_.PaneText();
    if (options_.unicode) {
        const std::wstring wide = Wide(text);
        if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(wide.size());
        if (wp == 0 || lp == 0) return 0;
        const std::size_t n = wide.size() < wp - 1 ? wide.size() : wp - 1;
        auto* out = reinterpret_cast<wchar_t*>(lp);
        std::memcpy(out, wide.data(), n * sizeof(wchar_t));
        out[n] = L'\0';
        Log("pane-text units=" + std::to_string(n));
        return static_cast<LRESULT>(n);
    }
    if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
    if (wp == 0 || lp == 0) return 0;
    const std::size_t n = FitShiftJis(text, wp - 1);
    auto* out = reinterpret_cast<char*>(lp);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    Log("pane-text bytes=" + std::to_string(n));
    return static_cast<LRESULT>(n);
}

LRESULT StandIn::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: FillDialog(hwnd); return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) DestroyWindow(hwnd);
        return 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY:
        if (!exiting_) {
            session_.DialogClosed();
            Refresh();
            PostMessageW(main_, kPumpMessage, 0, 0);
        }
        return 0;
    }
    return Default(hwnd, msg, wp, lp);
}

void StandIn::FillDialog(HWND dialog) {
    HWND label = Create("STATIC", dialogText_, WS_CHILD | WS_VISIBLE, 16, 14, 340, 56, dialog);
    HWND button = Create("BUTTON", dialogButton_, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 136, 78, 100, 28, dialog);
    SetWindowLongPtrW(button, GWLP_ID, IDOK);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

// A small top-level window of a class of its own: CAD's dialogs are never taken for its
// main window, whose class the dialogs must not share.
void StandIn::ShowDialog(const std::string& title, const std::string& text, const std::string& button) {
    dialogText_ = text;
    dialogButton_ = button;
    Create(kDialogClass, title, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 480, 160, 380, 150, nullptr);
}

void StandIn::PaintMain(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const Drawing& drawing = session_.Active();
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawText(dc, 12, 10, drawing.name.empty() ? "(図面なし)" : "図面 " + drawing.name);
    std::string layouts;
    for (const std::string& name : drawing.layouts) layouts += (layouts.empty() ? "" : " | ") + name;
    DrawText(dc, 12, 30, layouts);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

void StandIn::PaintPrompt(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, 4, 3, session_.Active().prompt);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}
