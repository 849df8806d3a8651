// TForm1: the window, its start-up, the message dispatch and the CAD program dialog.
#include "Unit1_win.h"

#include <exception>
#include <string>
#include <vector>

#include "WindowClass_win.h"
#include "settings/IniFile.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

TForm1* Form1 = nullptr;

namespace {

constexpr char kWindowClass[] = "TForm1";
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kDesignClientWidth = 707;
constexpr int kDesignClientHeight = 594;

}  // namespace

TForm1::TForm1() : StringGrid1({5, 1, 0, {116, 52, 64, 64, 64}}), StringGrid2({5, 5, 1, {64, 72, 64, 64, 64}}) {}

TForm1::~TForm1() {
    for (ATOM atom : designerNames_) GlobalDeleteAtom(atom);
    if (treeImages_) ImageList_Destroy(treeImages_);
    if (font_) DeleteObject(font_);
}

void TForm1::Create(HINSTANCE instance) {
    instance_ = instance;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    wc.hIconSm = static_cast<HICON>(
        LoadImageA(instance, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc);
    RegisterPanelClass(instance);
    StringGrid::RegisterWindowClass(instance);

    // The design is made at 96 dpi; positions and the font follow the screen's density.
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    outer_ = OuterSizesForDpi(dpi_);
    RECT outer{0, 0, Scale(kDesignClientWidth), Scale(kDesignClientHeight)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    CreateWindowExA(kExStyle, kWindowClass, kAppTitle, kStyle, 100, 100, outer.right - outer.left,
                    outer.bottom - outer.top, nullptr, nullptr, instance, this);
    if (!hwnd_) throw AppError("ウィンドウを作成できません");
    SetDesignerName(hwnd_, "Form1");
    font_ = CreateFontA(Scale(-11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");

    clipboard_ = std::make_unique<Win32Clipboard>();
    acad_ = std::make_unique<Acad8Ctrl>(windowSystem_, *clipboard_);
    supervisor_ = std::make_unique<RunSupervisor>(*acad_, run_, processes_, runTimers_, recordFile_);
    Timer1.Attach(hwnd_);
    Timer2.Attach(hwnd_);
    Timer3.Attach(hwnd_);
    Timer4.Attach(hwnd_);
    runTimers_.Attach(hwnd_);

    CreateControls();
    statusLine_.Attach(hwnd_, Label1, kAppTitle);
    FormCreate();
}

LRESULT CALLBACK TForm1::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* form = WindowObject(hwnd, msg, lp, &TForm1::hwnd_);
    if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
    // The one place where errors of the handlers end: none may cross back into Win32.
    try {
        return form->HandleMessage(msg, wp, lp);
    } catch (const std::exception& e) {
        form->ShowErrorBox(e.what());
    } catch (...) {
        form->ShowErrorBox("予期しないエラーが発生しました");
    }
    return 0;
}

LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // clang-format off
    switch (msg) {
    case WM_DROPFILES: WMDropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    case WM_TIMER:     OnTimer(static_cast<UINT_PTR>(wp)); return 0;
    case WM_COMMAND:   OnCommand(reinterpret_cast<HWND>(lp), HIWORD(wp)); return 0;
    case WM_ACTIVATE:  OnActivate(LOWORD(wp)); return 0;
    case WM_DESTROY:   PostQuitMessage(0); return 0;
    case kRunTheRestMessage: RunTheRest(); return 0;
    }
    // clang-format on
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void TForm1::OnCommand(HWND control, WORD code) {
    if (code != BN_CLICKED || !control) return;
    if (control == btnAutoFile) btnAutoFileClick();
    else if (control == Button11) Button11Click();
    else if (control == Button12) Button12Click();
}

void TForm1::OnTimer(UINT_PTR id) {
    if (id == Timer1.Id() && Timer1.Enabled()) Timer1Timer();
    else if (id == Timer2.Id() && Timer2.Enabled()) Timer2Timer();
    else if (id == Timer3.Id() && Timer3.Enabled()) Timer3Timer();
    else if (id == Timer4.Id() && Timer4.Enabled()) Timer4Timer();
    else if (id == kSoonTimer) SoonTimerTimer();
}

void TForm1::OnActivate(WORD state) {
    // Like a dialog: the focus comes back to the control that had it, else the first tab stop.
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
        return;
    }
    HWND target = lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_)
                      ? lastFocus_
                      : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (target) SetFocus(target);
}

void TForm1::ShowErrorBox(const char* message) noexcept {
    if (showingError_) return;
    showingError_ = true;
    const HWND owner = IsWindow(hwnd_) ? hwnd_ : nullptr;
    // Called where errors end, so it must not raise one itself: without memory for the text,
    // the message is shown as it came.
    try {
        MessageBoxA(owner, UnitFunc::ErrorBoxText(message).c_str(), kAppTitle, MB_ICONSTOP | MB_OK);
    } catch (...) {
        MessageBoxA(owner, message, kAppTitle, MB_ICONSTOP | MB_OK);
    }
    showingError_ = false;
}

void TForm1::SetOuterHeight(int height) {
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::SetOuterWidth(int width) {
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    SetWindowPos(hwnd_, nullptr, 0, 0, width, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TForm1::SettingsPath() const {
    char exe[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    return SettingsPathFor(exe);
}

std::string TForm1::ControlText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) return "";
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(control, text.data(), length + 1);
    return text.data();
}

void TForm1::PaintNow() { RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

void TForm1::FormCreate() {
    SetOuterHeight(outer_.compactHeight);
    SetOuterWidth(outer_.width);
    DragAcceptFiles(hwnd_, TRUE);
    StringGrid2.Update([](StringGridCells& cells) {
        cells.SetCell(0, 0, "FULLFILEPATH");
        cells.SetCell(1, 0, "FILENAME");
        cells.SetCell(2, 0, "FULLFILENAME");
        cells.SetCell(3, 0, "FOLDER");
    });
    for (int n = 1; n <= 9; ++n) FButtons[n] = FindComponent("Button" + std::to_string(n));
    const IniFile ini(SettingsPath());
    SetWindowTextA(Edit1, ini.ReadString("Program", "File", "").c_str());
    for (int n = 1; n <= 9; ++n) {
        const std::string label = ini.ReadString("Section" + std::to_string(n), "Label", "");
        SetWindowTextA(FButtons[n], UnitFunc::CaptionFromLabel(label).c_str());
    }
}

void TForm1::btnAutoFileClick() {
    IniFile ini(SettingsPath());
    const std::optional<std::string> chosen = OpenDialog1.Execute(hwnd_);
    if (!chosen) return;
    SetWindowTextA(Edit1, chosen->c_str());
    ini.WriteString("Program", "File", ControlText(Edit1));
}
