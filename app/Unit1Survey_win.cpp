// TForm1's layout survey: CAD opens every dropped drawing and lists its layouts; the names are
// read back drawing by drawing into the layout table and the tree. And the clearing of both.
#include <string>

#include "CadRun.h"
#include "LayoutTable.h"
#include "RedrawSuspended_win.h"
#include "Survey.h"
#include "Unit1_win.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

void TForm1::CollectLayoutNames(std::int32_t n) {
    WriteScriptFile(SurveyScript(ListBox1.Lines()));
    PaintNow();
    supervisor_->StartSurvey(ControlText(Edit1), ListBox1.Lines());
    ShowStatus();
    Timer2.Arm();
    if (!SurveyGoesOnAfter(Timer2, n)) return;

    StringGrid1.SetRowCount(n + 1);
    for (std::int32_t i = 0; i < n; ++i) {
        const SurveyRead read = SurveyReadAt(i, n);
        const int row = read.row;
        supervisor_->SurveyReading(i + 1);
        ShowStatus();
        const std::string stripped = UnitFunc::RemoveBlanks(supervisor_->PaneText());
        ListBox2.Assign(ParseLayoutListing(stripped));
        StringGrid1.Update([&](StringGridCells& table) { RecordLayoutRow(table, row, ListBox2.Lines()); });
        AddTreeNodes(StringGrid1.Cells().Cell(0, row), ListBox2.Lines());
        ListBox2.Clear();
        supervisor_->Type(read.commands);
        if (!read.waitForNextDrawing) {
            supervisor_->SurveyQuitting();
            ShowStatus();
            continue;
        }
        supervisor_->SurveyClosing(i + 1);
        ShowStatus();
        Timer3.Arm();
        if (!SurveyGoesOnAfter(Timer3, n)) return;
    }
}

bool TForm1::SurveyGoesOnAfter(const WatcherTimer& timer, std::int32_t n) {
    // The window was closed: the program ends.
    if (!WaitForTimer(timer)) return false;
    switch (supervisor_->LastWaitEnd()) {
    case RunSupervisor::WaitEnd::Seen: return true;
    // The names read so far may sit in other drawings' rows: none is kept.
    case RunSupervisor::WaitEnd::CadEnded: ForgetSurveyedLayouts(n); throw AppError(kCadEndedDuringSurveyMessage);
    // CAD stopped the script and its message is shown: CAD is left as it is, nothing is read.
    case RunSupervisor::WaitEnd::CadMessage: break;
    }
    return false;
}

void TForm1::ForgetSurveyedLayouts(std::int32_t n) {
    StringGrid1.Update([&](StringGridCells& table) { ForgetLayoutRows(table, n); });
    ClearTree();
}

void TForm1::AddTreeNodes(const std::string& rootText, const LineList& entries) {
    // A drawing may have thousands of layouts.
    const RedrawSuspended quiet({TreeView1});
    TVINSERTSTRUCTA root{};
    root.hParent = TVI_ROOT;
    root.hInsertAfter = TVI_LAST;
    root.item.mask = TVIF_TEXT;
    root.item.pszText = const_cast<char*>(rootText.c_str());
    const auto rootItem =
        reinterpret_cast<HTREEITEM>(SendMessageA(TreeView1, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&root)));
    // Entry 0 is the lead text before the listing, not a layout.
    for (std::size_t k = 1; k < entries.size(); ++k) {
        TVINSERTSTRUCTA child{};
        child.hParent = rootItem;
        child.hInsertAfter = TVI_LAST;
        child.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        child.item.pszText = const_cast<char*>(entries[k].c_str());
        child.item.iImage = 1;
        child.item.iSelectedImage = 1;
        SendMessageA(TreeView1, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&child));
    }
}

void TForm1::ClearTree() {
    const RedrawSuspended quiet({TreeView1});
    SendMessageA(TreeView1, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void TForm1::Button11Click() {
    SetOuterHeight(outer_.compactHeight);
    StringGrid1.Update(ClearWithinCounts);
    EnableWindow(Button11, FALSE);
    EnableWindow(Button10, TRUE);
    ClearTree();
    // Disabling the clicked button took the focus away; give it to the button now enabled.
    if (!GetFocus() && GetActiveWindow() == hwnd_) SetFocus(Button10);
}
