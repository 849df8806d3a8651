// TForm1's drop dispatcher: which button the files were dropped on, the record of the
// dropped files, and the road of a section drop or of a survey drop.
#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "CadRun.h"
#include "DropData_win.h"
#include "InfoBox_win.h"
#include "RedrawSuspended_win.h"
#include "SectionDrop.h"
#include "Unit1.h"
#include "settings/IniFile.h"
#include "text/UnitFunc.h"

void TForm1::WMDropFiles(HDROP drop) {
    DropData dropData(drop);
    int sectionNumber = 0;
    POINT point = dropData.ClientPoint();
    ClientToScreen(hwnd_, &point);
    const HWND target = ControlAt(point);
    FDropCount = dropData.Count();
    const int n = FDropCount;
    const std::array<HWND, 9> sectionButtons{Button1, Button2, Button3, Button4, Button5,
                                             Button6, Button7, Button8, Button9};
    for (std::size_t k = 0; k < sectionButtons.size() && sectionNumber == 0; ++k)
        if (target == sectionButtons[k]) sectionNumber = static_cast<int>(k) + 1;
    if (sectionNumber == 0 && target != Button10) return;
    // A new script under a CAD still reading the last one would change its work midway, and a
    // second CAD would take the commands meant for the first.
    if (CadRunLasts()) {
        ShowInfoBox(hwnd_, kCadAtWorkMessage);
        return;
    }

    // A path the script cannot carry would make CAD open no drawing or another one, and the
    // script's next lines act on whatever drawing is active: such a drop changes nothing.
    dropData.ReadPaths(n);
    if (const std::wstring refusal = dropData.RefusalText(); !refusal.empty()) {
        ShowInfoBox(hwnd_, refusal);
        return;
    }
    if (sectionNumber != 0) SectionDrop(dropData, n, sectionNumber);
    else SurveyDrop(dropData, n);
}

bool TForm1::CadRunLasts() {
    acad_->FindAcadWindows();
    if (acad_->AcadMainWnd != 0) run_.SawCadWindow(acad_->AcadProcessId);
    return run_.Lasts();
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

void TForm1::StoreDroppedFile(DropData& drop, int i) {
    const std::string& path = drop.Path(i);
    const UnitFunc::PathParts parts = UnitFunc::SplitPath(path);
    StringGrid2.Update([&](StringGridCells& cells) {
        cells.SetCell(0, i + 1, path);
        cells.SetCell(1, i + 1, parts.fileName);
        cells.SetCell(2, i + 1, parts.withoutExt);
        cells.SetCell(3, i + 1, parts.folder);
    });
    ListBox1.Add(path);
}

void TForm1::SurveyDrop(DropData& drop, int n) {
    SetOuterHeight(outer_.surveyHeight);
    StringGrid1.SetCell(0, 0, "取得完了");
    StringGrid1.SetCell(1, 0, "ﾚｲｱｳﾄ数");
    StringGrid2.SetRowCount(n + 1);
    ListBox1.Clear();
    {
        const RedrawSuspended quiet({ListBox1.Handle(), StringGrid2.Handle(), StringGrid1.Handle()});
        for (int i = 0; i < n; ++i) {
            StoreDroppedFile(drop, i);
            StringGrid1.SetCell(0, i + 1, StringGrid2.Cells().Cell(0, i + 1));
        }
    }
    EnableWindow(Button11, TRUE);
    EnableWindow(Button10, FALSE);
    CollectLayoutNames(n);
}

void TForm1::SectionDrop(DropData& drop, int n, int sectionNumber) {
    ListBox1.Clear();
    {
        const RedrawSuspended quiet({ListBox1.Handle(), StringGrid2.Handle()});
        for (int i = 0; i < n; ++i) StoreDroppedFile(drop, i);
    }
    SectionTemplate sectionTemplate = [&] {
        const IniFile ini(SettingsPath());  // closed here, also when a read fails
        return ReadSectionTemplate(ini, std::to_string(sectionNumber));
    }();
    ListBox3.Assign(sectionTemplate.lines);

    // The loop block moves from the template to the loop body; the [LAYOUTLOOP] line stays.
    ListBox4.Clear();
    SectionDropPlan plan = PlanSectionDrop(std::move(sectionTemplate), !ControlText(FButtons[sectionNumber]).empty());
    ListBox3.Assign(std::move(plan.cut.templateLines));
    ListBox4.Assign(std::move(plan.cut.loopBody));

    if (plan.outcome == SectionDropPlan::Outcome::Run) RunTemplateScript(plan.lineCount);
    else ShowInfoBox(hwnd_, RefusalMessage(plan.outcome));
}
