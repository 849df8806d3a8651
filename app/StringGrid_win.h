// A string grid window of our own: it draws the cells of a StringGridCells model, whose texts
// are kept apart from the row and column counts, with grid lines, scroll bars where the cells
// do not fit, an optional fixed header row and no editing. It answers WM_GETTEXT with
// GridText, so tools outside the process can read it. WM_SETREDRAW FALSE holds back the
// scroll bars and the repaint of every change until WM_SETREDRAW TRUE, which makes them once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "StringGrid.h"
#include "Tables.h"

class StringGrid {
public:
    struct Design {
        int colCount;
        int rowCount;
        int fixedRows;
        std::vector<int> colWidths;  // at 96 dpi; columns without a width get the default 64
    };

    explicit StringGrid(Design design);
    StringGrid(const StringGrid&) = delete;
    StringGrid& operator=(const StringGrid&) = delete;

    static void RegisterWindowClass(HINSTANCE instance);
    static constexpr char kWindowClass[] = "TStringGrid";
    // Before CreateWindowEx with this object as its creation parameter; dpi scales the cells.
    void PrepareCreate(int dpi);

    HWND Handle() const { return hwnd_; }
    const StringGridCells& Cells() const { return cells_; }

    void SetCell(int col, int row, std::string text);
    void SetRowCount(int n);
    void SetColCount(int n);
    // Any change through the model, then one repaint.
    template <class Change>
    void Update(Change change) {
        change(cells_);
        Changed();
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Changed();
    void SetRedraw(bool on);
    void Paint();
    void UpdateScrollBars();
    void OnScroll(int bar, WORD code);
    void OnKey(WPARAM key);
    void OnClick(int x, int y);
    void ScrollTo(int leftCol, int topRow);
    void MakeCurrentVisible();
    LRESULT CopyText(WPARAM bufferSize, LPARAM buffer) const;
    SIZE ClientSize() const;
    int VisibleRows() const { return layout_.VisibleRows(ClientSize().cy); }
    int VisibleCols() const { return layout_.VisibleCols(leftCol_, cells_.ColCount(), ClientSize().cx); }
    int MaxTopRow() const { return layout_.MaxTopRow(cells_.RowCount(), ClientSize().cy); }
    int MaxLeftCol() const { return layout_.MaxLeftCol(cells_.ColCount(), ClientSize().cx); }

    HWND hwnd_ = nullptr;
    StringGridCells cells_;
    std::vector<int> designWidths_;
    GridLayout layout_;
    int leftCol_ = 0;
    int topRow_;
    int currentCol_ = 0;
    int currentRow_;
    HFONT font_ = nullptr;
    bool redraw_ = true;
    bool changedUnseen_ = false;  // a change came while redraw was off
};
