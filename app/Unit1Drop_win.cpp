// TForm1's drop dispatcher: which button the files were dropped on, the record of the
// dropped files, and the road of a section drop or of a survey drop.
#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "CadRun.h"
#include "DropData_win.h"
#include "DroppedFolders.h"
#include "InfoBox_win.h"
#include "MessageLoop_win.h"
#include "RedrawSuspended_win.h"
#include "SectionDrop.h"
#include "TemplateVocabulary.h"
#include "Unit1_win.h"
#include "settings/IniFile.h"

namespace {

// While a drop's folders are read: the window answers every 100 ms, and after a second the
// status line above the path box shows how many drawings were found. The line and the reading
// flag are put back on every road out.
class FolderReadShown {
public:
    FolderReadShown(HWND form, StatusLine& line, std::string before, bool& reading)
        : form_(form),
          line_(line),
          before_(std::move(before)),
          reading_(reading),
          start_(GetTickCount64()),
          lastAnswer_(start_) {
        reading_ = true;
    }
    FolderReadShown(const FolderReadShown&) = delete;
    FolderReadShown& operator=(const FolderReadShown&) = delete;
    ~FolderReadShown() {
        reading_ = false;
        if (shown_) line_.Show(before_);
    }

    // False when the window was closed.
    bool Answer(std::size_t found) {
        const ULONGLONG now = GetTickCount64();
        if (now - lastAnswer_ < kAnswerEveryMs) return true;
        lastAnswer_ = now;
        if (now - start_ >= kShowCountAfterMs) {
            shown_ = true;
            line_.Show(FolderReadCountText(found));
            UpdateWindow(form_);
        }
        return ProcessPendingMessages(form_);
    }

private:
    static constexpr ULONGLONG kAnswerEveryMs = 100;
    static constexpr ULONGLONG kShowCountAfterMs = 1000;

    HWND form_;
    StatusLine& line_;
    std::string before_;
    bool& reading_;
    ULONGLONG start_, lastAnswer_;
    bool shown_ = false;
};

}  // namespace

void TForm1::WMDropFiles(HDROP drop) {
    DropData dropData(drop);
    // The read of a drop's folders lets the window answer; another drop meanwhile would
    // overwrite what that drop is about to record.
    if (readingFolders_) {
        ShowInfoBox(hwnd_, kDropDuringReadMessage);
        return;
    }
    int sectionNumber = 0;
    POINT point = dropData.ClientPoint();
    ClientToScreen(hwnd_, &point);
    const HWND target = ControlAt(point);
    FDropCount = dropData.Count();
    const std::array<HWND, 9> sectionButtons{Button1, Button2, Button3, Button4, Button5,
                                             Button6, Button7, Button8, Button9};
    for (std::size_t k = 0; k < sectionButtons.size() && sectionNumber == 0; ++k)
        if (target == sectionButtons[k]) sectionNumber = static_cast<int>(k) + 1;
    if (sectionNumber == 0 && target != Button10) return;
    // A new script under a CAD still reading the last one would change its work midway, and a
    // second CAD would take the commands meant for the first.
    if (supervisor_->Lasts()) {
        ShowInfoBox(hwnd_, kCadAtWorkMessage);
        return;
    }

    if (!ReadDroppedDrawings(dropData)) return;
    LineList paths;
    paths.reserve(static_cast<std::size_t>(dropData.PathCount()));
    for (int i = 0; i < dropData.PathCount(); ++i) paths.push_back(dropData.Path(i));
    if (sectionNumber != 0) SectionDrop(paths, sectionNumber, static_cast<int>(paths.size()), false);
    else SurveyDrop(paths);
}

bool TForm1::ReadDroppedDrawings(DropData& drop) {
    {
        FolderReadShown shown(hwnd_, statusLine_, statusLine_.Text(), readingFolders_);
        drop.ReadPaths([&](std::size_t found) { return shown.Answer(found); });
    }
    if (drop.Stopped()) return false;  // the window was closed meanwhile
    // A path the script cannot carry would make CAD open no drawing or another one, and the
    // script's next lines act on whatever drawing is active: such a drop changes nothing.
    if (const std::wstring refusal = drop.RefusalText(); !refusal.empty()) {
        ShowInfoBox(hwnd_, refusal);
        return false;
    }
    return true;
}

HWND TForm1::ControlAt(POINT screenPoint) const {
    // WindowFromPoint passes over hidden and disabled windows: a disabled button gives the
    // panel or the form behind it. A window inside a control (a tree view's edit box) counts as
    // the control.
    const HWND desktop = GetDesktopWindow();
    for (HWND window = WindowFromPoint(screenPoint); window && window != desktop;
         window = GetAncestor(window, GA_PARENT)) {
        if (window == hwnd_) return window;
        for (const auto& component : components_)
            if (component.second == window) return window;
    }
    return nullptr;
}

void TForm1::StoreDroppedFile(const std::string& path, int i) {
    StringGrid2.Update([&](StringGridCells& cells) { SetDroppedFileRow(cells, i + 1, path); });
    ListBox1.Add(path);
}

void TForm1::SurveyDrop(const LineList& paths) {
    const int n = static_cast<int>(paths.size());
    FDropCount = n;
    SetOuterHeight(outer_.surveyHeight);
    StringGrid1.SetCell(0, 0, "取得完了");
    StringGrid1.SetCell(1, 0, "ﾚｲｱｳﾄ数");
    StringGrid2.SetRowCount(n + 1);
    ListBox1.Clear();
    ListBox1.Reserve(paths.size());
    {
        const RedrawSuspended quiet({ListBox1.Handle(), StringGrid2.Handle(), StringGrid1.Handle()});
        for (int i = 0; i < n; ++i) {
            StoreDroppedFile(paths[i], i);
            StringGrid1.SetCell(0, i + 1, StringGrid2.Cells().Cell(0, i + 1));
        }
    }
    EnableWindow(Button11, TRUE);
    EnableWindow(Button10, FALSE);
    CollectLayoutNames(n);
}

void TForm1::SectionDrop(const LineList& paths, int sectionNumber, int layoutRows, bool continuing) {
    const int n = static_cast<int>(paths.size());
    FDropCount = n;
    ListBox1.Clear();
    ListBox1.Reserve(paths.size());
    {
        const RedrawSuspended quiet({ListBox1.Handle(), StringGrid2.Handle()});
        for (int i = 0; i < n; ++i) StoreDroppedFile(paths[i], i);
    }
    SectionTemplate sectionTemplate = [&] {
        const IniFile ini(SettingsPath());  // closed here, also when a read fails
        return ReadSectionTemplate(ini, std::to_string(sectionNumber));
    }();

    // The loop block moves from the template to the loop body; the [LAYOUTLOOP] line stays.
    // Nothing runs between the template's loading and its cut, so the lists take the cut's
    // result at once.
    SectionDropPlan plan = PlanSectionDrop(std::move(sectionTemplate), !ControlText(FButtons[sectionNumber]).empty());
    ListBox3.Assign(std::move(plan.cut.templateLines));
    ListBox4.Assign(std::move(plan.cut.loopBody));

    runSection_ = sectionNumber;
    runLayoutRows_ = layoutRows;
    runContinues_ = continuing;
    if (plan.outcome == SectionDropPlan::Outcome::Run) RunTemplateScript(plan.lineCount);
    else ShowInfoBox(hwnd_, RefusalMessage(plan.outcome));
}
