// TForm1's controls, created in the order of the window description: that order is also
// their stacking order and, for those with a tab stop, their tab order.
#include <algorithm>

#include "Unit1_win.h"
#include "WindowClass_win.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

constexpr char kPanelClass[] = "TPanel";
constexpr char kDesignerNameProperty[] = "DesignerName";
constexpr int kFirstControlId = 100;
constexpr DWORD kCaptionWraps = BS_MULTILINE;

// A multi-line edit box claims every key; the memo leaves Tab to the dialog keys, so the
// focus moves on instead of a tab character being typed.
LRESULT CALLBACK MemoPassesTab(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
    const auto* keyMessage = reinterpret_cast<const MSG*>(lp);
    if (msg == WM_GETDLGCODE && keyMessage && keyMessage->wParam == VK_TAB &&
        (keyMessage->message == WM_KEYDOWN || keyMessage->message == WM_CHAR))
        result &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    return result;
}

}  // namespace

void TForm1::CreateControls() {
    Label1 = AddLabel("Label1", 8, 11, 128, 13, "AUTOCADのプログラム位置");
    Edit1 = AddEdit("Edit1", 22, 30, 251, 21, "c:\\");
    btnAutoFile = AddButton("btnAutoFile", hwnd_, 271, 28, 27, 25, "...", 0);
    Button1 = AddButton("Button1", hwnd_, 22, 64, 81, 50, "", kCaptionWraps);
    AddListBox(ListBox1, "ListBox1", 344, 170, 169, 105, false);
    AddListBox(ListBox2, "ListBox2", 519, 170, 180, 105, false);
    AddListBox(ListBox3, "ListBox3", 344, 281, 169, 104, false);
    Button2 = AddButton("Button2", hwnd_, 120, 64, 81, 50, "", kCaptionWraps);
    Button3 = AddButton("Button3", hwnd_, 220, 64, 81, 50, "", kCaptionWraps);
    AddGrid(StringGrid1, "StringGrid1", 344, 30, 320, 120, false);
    TreeView1 = AddTreeView("TreeView1", 22, 315, 276, 107);
    AddGrid(StringGrid2, "StringGrid2", 8, 466, 293, 120, true);
    Memo1 = AddMemo("Memo1", 344, 407, 149, 89);
    Button4 = AddButton("Button4", hwnd_, 22, 127, 81, 50, "", kCaptionWraps);
    Button5 = AddButton("Button5", hwnd_, 120, 127, 81, 50, "", kCaptionWraps);
    Button6 = AddButton("Button6", hwnd_, 220, 127, 81, 50, "", kCaptionWraps);
    AddListBox(ListBox4, "ListBox4", 519, 281, 180, 104, true);
    Button7 = AddButton("Button7", hwnd_, 22, 192, 81, 49, "", kCaptionWraps);
    Button8 = AddButton("Button8", hwnd_, 120, 192, 81, 49, "", kCaptionWraps);
    Button9 = AddButton("Button9", hwnd_, 220, 192, 81, 49, "", kCaptionWraps);
    Panel1 = AddPanel("Panel1", 8, 247, 305, 62);
    Button12 = AddButton("Button12", Panel1, 215, 17, 78, 25, "Close CAD", 0);
    Button10 = AddButton("Button10", Panel1, 14, 7, 81, 47, "ﾚｲｱｳﾄ名取得", 0);
    Button11 = AddButton("Button11", Panel1, 112, 7, 81, 47, "ﾚｲｱｳﾄ欄消去", 0);
    EnableWindow(Button11, FALSE);
}

HWND TForm1::AddControl(const char* name, DWORD exStyle, const char* windowClass, const char* text, DWORD style,
                        HWND parent, DesignRect design, void* createParam) {
    const int id = kFirstControlId + static_cast<int>(components_.size());
    HWND control = CreateWindowExA(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, Scale(design.left),
                                   Scale(design.top), Scale(design.width), Scale(design.height), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, createParam);
    if (!control) throw AppError(UnitFunc::Format("%s を作成できません", name));
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetDesignerName(control, name);
    components_.emplace_back(name, control);
    return control;
}

void TForm1::SetDesignerName(HWND window, const char* name) {
    // Tools outside the process find a control by its designer name: a global atom, because
    // a window property holds a handle, not text.
    const ATOM atom = GlobalAddAtomA(name);
    designerNames_.push_back(atom);
    SetPropA(window, kDesignerNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

HWND TForm1::FindComponent(std::string_view name) const {
    const auto found = std::find_if(components_.begin(), components_.end(),
                                    [&](const auto& component) { return component.first == name; });
    return found != components_.end() ? found->second : nullptr;
}

HWND TForm1::AddLabel(const char* name, int left, int top, int width, int height, const char* text) {
    HWND label = AddControl(name, 0, "STATIC", text, SS_LEFT | SS_NOPREFIX, hwnd_, {left, top, width, height});
    // The label takes the size of its text.
    HDC dc = GetDC(label);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    RECT extent{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, extent.right, extent.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return label;
}

HWND TForm1::AddEdit(const char* name, int left, int top, int width, int height, const char* text) {
    return AddControl(name, WS_EX_CLIENTEDGE, "EDIT", text, ES_AUTOHSCROLL | WS_TABSTOP, hwnd_,
                      {left, top, width, height});
}

HWND TForm1::AddButton(const char* name, HWND parent, int left, int top, int width, int height, const char* text,
                       DWORD extraStyle) {
    return AddControl(name, 0, "BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP | extraStyle, parent,
                      {left, top, width, height});
}

void TForm1::AddListBox(ListBoxLines& box, const char* name, int left, int top, int width, int height, bool tabStop) {
    HWND listBox = AddControl(name, WS_EX_CLIENTEDGE, "LISTBOX", "",
                              WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (tabStop ? WS_TABSTOP : 0), hwnd_,
                              {left, top, width, height});
    SendMessageA(listBox, LB_SETITEMHEIGHT, 0, Scale(13));
    box.Attach(listBox);
}

void TForm1::AddGrid(StringGrid& grid, const char* name, int left, int top, int width, int height, bool tabStop) {
    grid.PrepareCreate(dpi_);
    AddControl(name, WS_EX_CLIENTEDGE, StringGrid::kWindowClass, "",
               WS_HSCROLL | WS_VSCROLL | (tabStop ? WS_TABSTOP : 0), hwnd_, {left, top, width, height}, &grid);
}

HWND TForm1::AddMemo(const char* name, int left, int top, int width, int height) {
    HWND memo =
        AddControl(name, WS_EX_CLIENTEDGE, "EDIT", "", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP,
                   hwnd_, {left, top, width, height});
    SendMessageA(memo, EM_SETLIMITTEXT, 0, 0);  // a command pane can be longer than the default
    SetWindowSubclass(memo, MemoPassesTab, 0, 0);
    return memo;
}

HWND TForm1::AddTreeView(const char* name, int left, int top, int width, int height) {
    HWND tree = AddControl(name, WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                           hwnd_, {left, top, width, height});
    SendMessageA(tree, TVM_SETINDENT, Scale(19), 0);
    // Image 0 marks a drawing (the roots' default), image 1 a layout.
    treeImages_ =
        ImageList_LoadImageA(instance_, "TREEIMAGES", 16, 0, RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (treeImages_) SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(treeImages_));
    return tree;
}

HWND TForm1::AddPanel(const char* name, int left, int top, int width, int height) {
    // A control parent, so the Tab key walks on into the panel's buttons.
    return AddControl(name, WS_EX_CONTROLPARENT, kPanelClass, "", 0, hwnd_, {left, top, width, height});
}

void TForm1::RegisterPanelClass(HINSTANCE instance) {
    RegisterWindowClass(instance, kPanelClass, PanelProc, COLOR_WINDOW);
}

LRESULT CALLBACK TForm1::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        // The panel's buttons belong to the form; their clicks go where its handlers are.
        return SendMessageA(GetParent(hwnd), msg, wp, lp);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc{};
        GetClientRect(hwnd, &rc);
        DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
