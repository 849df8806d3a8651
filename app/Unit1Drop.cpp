// TForm1's drop dispatcher: which button the files were dropped on, the record of the
// dropped files, and the road of a section drop or of a survey drop.
#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "InfoBox.h"
#include "ScriptRules.h"
#include "SectionDrop.h"
#include "Unit1.h"
#include "settings/IniFile.h"
#include "text/UnitFunc.h"

// The shell's drop data of one WM_DROPFILES, handed back with DragFinish on every road out of
// the handler, errors included.
class DropData {
public:
    explicit DropData(HDROP drop) : drop_(drop) {}
    DropData(const DropData&) = delete;
    DropData& operator=(const DropData&) = delete;
    ~DropData() { DragFinish(drop_); }

    POINT ClientPoint() const {
        POINT point{};
        DragQueryPoint(drop_, &point);
        return point;
    }
    int Count() const { return static_cast<int>(DragQueryFileA(drop_, 0xFFFFFFFF, nullptr, 0)); }
    // Reads path i into the path buffer, which keeps it until the next read.
    std::string ReadPath(int i) {
        path_.fill('\0');
        DragQueryFileA(drop_, static_cast<UINT>(i), path_.data(), static_cast<UINT>(path_.size()));
        return path_.data();
    }

private:
    HDROP drop_;
    // The shell cuts a longer path to fit; 261 bytes hold MAX_PATH plus the zero.
    std::array<char, 261> path_{};
};

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
    if (sectionNumber != 0)
        SectionDrop(dropData, n, sectionNumber);
    else if (target == Button10)
        SurveyDrop(dropData, n);
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
    const std::string path = drop.ReadPath(i);
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
    for (int i = 0; i < n; ++i) {
        StoreDroppedFile(drop, i);
        StringGrid1.SetCell(0, i + 1, StringGrid2.Cells().Cell(0, i + 1));
    }
    EnableWindow(Button11, TRUE);
    EnableWindow(Button10, FALSE);
    CollectLayoutNames(n);
}

void TForm1::SectionDrop(DropData& drop, int n, int sectionNumber) {
    ListBox1.Clear();
    for (int i = 0; i < n; ++i) StoreDroppedFile(drop, i);
    SectionTemplate sectionTemplate = [&] {
        const IniFile ini(SettingsPath());   // closed here, also when a read fails
        return ReadSectionTemplate(ini, std::to_string(sectionNumber));
    }();
    ListBox3.Assign(sectionTemplate.lines);

    // The loop block moves from the template to the loop body; the [LAYOUTLOOP] line stays.
    ListBox4.Clear();
    SectionDropPlan plan =
        PlanSectionDrop(std::move(sectionTemplate), !ControlText(FButtons[sectionNumber]).empty());
    ListBox3.Assign(std::move(plan.cut.templateLines));
    ListBox4.Assign(std::move(plan.cut.loopBody));

    if (plan.outcome == SectionDropPlan::Outcome::Run)
        RunTemplateScript(plan.lineCount);
    else
        ShowInfoBox(hwnd_, RefusalMessage(plan.outcome));
}
