#include "StringGrid_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "WindowClass_win.h"
#include "WindowSizes.h"

StringGrid::StringGrid(Design design)
    : cells_(design.colCount, design.rowCount),
      designWidths_(std::move(design.colWidths)),
      layout_{designWidths_, 64, 24, design.fixedRows},
      topRow_(design.fixedRows),
      currentRow_(design.fixedRows) {}

void StringGrid::RegisterWindowClass(HINSTANCE instance) {
    ::RegisterWindowClass(instance, kWindowClass, WindowProc, COLOR_WINDOW, CS_DBLCLKS);
}

void StringGrid::PrepareCreate(int dpi) {
    layout_.colWidths.clear();
    for (int width : designWidths_) layout_.colWidths.push_back(ScaleForDpi(width, dpi));
    layout_.defaultColWidth = ScaleForDpi(64, dpi);
    layout_.rowHeight = ScaleForDpi(24, dpi);
}

void StringGrid::SetCell(int col, int row, std::string text) {
    cells_.SetCell(col, row, std::move(text));
    Changed();
}

void StringGrid::SetRowCount(int n) {
    cells_.SetRowCount(n);
    Changed();
}

void StringGrid::SetColCount(int n) {
    cells_.SetColCount(n);
    Changed();
}

void StringGrid::Changed() {
    if (!hwnd_) return;
    if (!redraw_) {
        changedUnseen_ = true;
        return;
    }
    currentCol_ = std::clamp(currentCol_, 0, std::max(0, cells_.ColCount() - 1));
    currentRow_ = std::clamp(currentRow_, layout_.fixedRows, std::max(layout_.fixedRows, cells_.RowCount() - 1));
    ScrollTo(leftCol_, topRow_);
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void StringGrid::SetRedraw(bool on) {
    redraw_ = on;
    if (!on || !changedUnseen_) return;
    changedUnseen_ = false;
    Changed();
}

LRESULT CALLBACK StringGrid::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* grid = WindowObject(hwnd, msg, lp, &StringGrid::hwnd_);
    if (!grid) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        grid->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    try {
        return grid->HandleMessage(msg, wp, lp);
    } catch (...) {
        // Only allocation can fail here; a grid that cannot paint must not take Win32 down.
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

LRESULT StringGrid::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // clang-format off
    switch (msg) {
    case WM_PAINT:          Paint(); return 0;
    case WM_SIZE:           Changed(); return 0;
    case WM_SETREDRAW:      SetRedraw(wp != 0); return 0;
    case WM_SETFONT:        font_ = reinterpret_cast<HFONT>(wp); if (LOWORD(lp)) InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_GETFONT:        return reinterpret_cast<LRESULT>(font_);
    case WM_GETTEXTLENGTH:  return static_cast<LRESULT>(GridText(cells_).size());
    case WM_GETTEXT:        return CopyText(wp, lp);
    case WM_SETTEXT:        return TRUE;   // cells only change through the model
    case WM_VSCROLL:        OnScroll(SB_VERT, LOWORD(wp)); return 0;
    case WM_HSCROLL:        OnScroll(SB_HORZ, LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL:     OnScroll(SB_VERT, GET_WHEEL_DELTA_WPARAM(wp) > 0 ? SB_LINEUP : SB_LINEDOWN); return 0;
    case WM_LBUTTONDOWN:    OnClick(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_KEYDOWN:        OnKey(wp); return 0;
    case WM_GETDLGCODE:     return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:      InvalidateRect(hwnd_, nullptr, FALSE); return 0;
    }
    // clang-format on
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT StringGrid::CopyText(WPARAM bufferSize, LPARAM buffer) const {
    if (bufferSize == 0 || buffer == 0) return 0;
    const std::string text = GridText(cells_);
    const std::size_t n = std::min<std::size_t>(text.size(), bufferSize - 1);
    char* out = reinterpret_cast<char*>(buffer);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

SIZE StringGrid::ClientSize() const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    return {rc.right, rc.bottom};
}

void StringGrid::ScrollTo(int leftCol, int topRow) {
    const int newLeft = std::clamp(leftCol, 0, MaxLeftCol());
    const int newTop = std::clamp(topRow, layout_.fixedRows, MaxTopRow());
    if (newLeft == leftCol_ && newTop == topRow_) return;
    leftCol_ = newLeft;
    topRow_ = newTop;
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void StringGrid::UpdateScrollBars() {
    // The page is what lies beyond the furthest scroll position, so the thumb stops there;
    // without SIF_DISABLENOSCROLL a bar disappears while everything fits.
    const int fixedRows = layout_.fixedRows;
    SCROLLINFO vert{sizeof vert,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    std::max(0, cells_.RowCount() - fixedRows - 1),
                    static_cast<UINT>(std::max(1, cells_.RowCount() - MaxTopRow())),
                    topRow_ - fixedRows,
                    0};
    SetScrollInfo(hwnd_, SB_VERT, &vert, FALSE);
    SCROLLINFO horz{sizeof horz,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    std::max(0, cells_.ColCount() - 1),
                    static_cast<UINT>(std::max(1, cells_.ColCount() - MaxLeftCol())),
                    leftCol_,
                    0};
    SetScrollInfo(hwnd_, SB_HORZ, &horz, FALSE);
    // Both bars are drawn once, with the next paint: drawn at once, each would cost a round
    // trip to the X server under Wine.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void StringGrid::OnScroll(int bar, WORD code) {
    const bool vertical = bar == SB_VERT;
    const int page = vertical ? VisibleRows() : VisibleCols();
    const int first = vertical ? topRow_ : leftCol_;
    const int base = vertical ? layout_.fixedRows : 0;
    int target = first;
    // clang-format off
    switch (code) {
    case SB_LINEUP:   target = first - 1; break;
    case SB_LINEDOWN: target = first + 1; break;
    case SB_PAGEUP:   target = first - page; break;
    case SB_PAGEDOWN: target = first + page; break;
    case SB_TOP:      target = base; break;
    case SB_BOTTOM:   target = vertical ? MaxTopRow() : MaxLeftCol(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd_, bar, &si);
        target = base + si.nTrackPos;
        break;
    }
    // clang-format on
    default: return;
    }
    if (vertical) ScrollTo(leftCol_, target);
    else ScrollTo(target, topRow_);
}

void StringGrid::MakeCurrentVisible() {
    int top = topRow_;
    if (currentRow_ < top) top = currentRow_;
    if (currentRow_ >= top + VisibleRows()) top = currentRow_ - VisibleRows() + 1;
    int left = leftCol_;
    if (currentCol_ < left) left = currentCol_;
    while (left < currentCol_ && currentCol_ >= left + layout_.VisibleCols(left, cells_.ColCount(), ClientSize().cx))
        ++left;
    ScrollTo(left, top);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void StringGrid::OnKey(WPARAM key) {
    const int fixedRows = layout_.fixedRows;
    const int lastCol = std::max(0, cells_.ColCount() - 1);
    const int lastRow = std::max(fixedRows, cells_.RowCount() - 1);
    // clang-format off
    switch (key) {
    case VK_LEFT:  currentCol_ = std::max(0, currentCol_ - 1); break;
    case VK_RIGHT: currentCol_ = std::min(lastCol, currentCol_ + 1); break;
    case VK_UP:    currentRow_ = std::max(fixedRows, currentRow_ - 1); break;
    case VK_DOWN:  currentRow_ = std::min(lastRow, currentRow_ + 1); break;
    case VK_PRIOR: currentRow_ = std::max(fixedRows, currentRow_ - VisibleRows()); break;
    case VK_NEXT:  currentRow_ = std::min(lastRow, currentRow_ + VisibleRows()); break;
    case VK_HOME:  currentCol_ = 0; break;
    case VK_END:   currentCol_ = lastCol; break;
    default: return;
    }
    // clang-format on
    MakeCurrentVisible();
}

void StringGrid::OnClick(int x, int y) {
    SetFocus(hwnd_);
    const auto cell = layout_.CellAt(x, y, leftCol_, topRow_, cells_.ColCount(), cells_.RowCount());
    if (!cell) return;
    currentCol_ = cell->col;
    currentRow_ = cell->row;
    MakeCurrentVisible();
}

void StringGrid::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    HPEN fixedPen = CreatePen(PS_SOLID, GridLayout::kLineWidth, GetSysColor(COLOR_BTNSHADOW));
    HPEN cellPen = CreatePen(PS_SOLID, GridLayout::kLineWidth, GetSysColor(COLOR_BTNFACE));
    HGDIOBJ oldPen = SelectObject(dc, cellPen);
    const bool focused = GetFocus() == hwnd_;

    auto paintRow = [&](int row, int y) {
        const bool fixed = row < layout_.fixedRows;
        int x = 0;
        for (int col = leftCol_; col < cells_.ColCount() && x < client.right; ++col) {
            const int width = layout_.ColWidth(col);
            RECT cell{x, y, x + width, y + layout_.rowHeight};
            const bool current = !fixed && row == currentRow_ && col == currentCol_ && focused;
            FillRect(dc, &cell, GetSysColorBrush(fixed ? COLOR_BTNFACE : current ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            SetTextColor(dc, GetSysColor(fixed ? COLOR_BTNTEXT : current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            const std::string& text = cells_.Cell(col, row);
            ExtTextOutA(dc, cell.left + 2, cell.top + 2, ETO_CLIPPED, &cell, text.data(),
                        static_cast<UINT>(text.size()), nullptr);
            if (current) DrawFocusRect(dc, &cell);
            if (fixed) DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
            SelectObject(dc, fixed ? fixedPen : cellPen);
            MoveToEx(dc, cell.right, cell.top, nullptr);
            LineTo(dc, cell.right, cell.bottom);
            MoveToEx(dc, cell.left, cell.bottom, nullptr);
            LineTo(dc, cell.right + GridLayout::kLineWidth, cell.bottom);
            x += width + GridLayout::kLineWidth;
        }
    };
    const int pitch = layout_.RowPitch();
    for (int row = 0; row < layout_.fixedRows && row < cells_.RowCount(); ++row) paintRow(row, row * pitch);
    for (int row = topRow_, y = layout_.fixedRows * pitch; row < cells_.RowCount() && y < client.bottom; ++row) {
        paintRow(row, y);
        y += pitch;
    }

    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
    DeleteObject(fixedPen);
    DeleteObject(cellPen);
    EndPaint(hwnd_, &ps);
}
