// The main window seen from outside: start-up state, drops that are refused or ignored, the
// survey drop's window changes, and storing the CAD program path.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "testsupport/ExpectCells.h"
#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr int kWaitMs = 10000;

const char* const kControlNames[] = {"Label1",   "Edit1",    "btnAutoFile", "Button1",     "Button2",     "Button3",
                                     "Button4",  "Button5",  "Button6",     "Button7",     "Button8",     "Button9",
                                     "Button10", "Button11", "Button12",    "ListBox1",    "ListBox2",    "ListBox3",
                                     "ListBox4", "Memo1",    "Panel1",      "StringGrid1", "StringGrid2", "TreeView1"};

const Control& Find(const std::vector<Control>& controls, const std::string& name) {
    for (const auto& c : controls)
        if (c.name == name) return c;
    throw HarnessError("no control named " + name);
}

using StartUp = E2eTest;
using Drop = E2eTest;
using SurveyDrop = E2eTest;
using CadProgramDialog = E2eTest;

TEST_F(StartUp, WindowControlsAndCaptionsFollowDataIni) {
    S().WriteDataIni(
        "[Program]\n"
        "File=C:\\CAD\\acad.exe\n"
        "[Section1]\nLabel=A+B+C\n"
        "[Section2]\nLabel=+\n"
        "[Section3]\nLabel=A+\n"
        "[Section4]\nLabel=+A\n"
        "[Section5]\nLabel=印刷\n"
        "[Section6]\nLabel=ﾚｲｱｳﾄ+表示\n"
        "[Section7]\nTextCount=1\n");
    S().Start();

    // Without a window manager Wine still keeps the frame in the window rectangle.
    Rect window = S().WindowRect();
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 100);
    EXPECT_EQ(window.Width(), 325);
    EXPECT_EQ(window.Height(), 345);

    auto controls = S().Controls();
    for (const char* name : kControlNames) EXPECT_NO_THROW(Find(controls, name)) << name;

    EXPECT_EQ(Find(controls, "Edit1").text, "C:\\CAD\\acad.exe");
    EXPECT_EQ(Find(controls, "Button1").text, "A\r\nB+C");
    EXPECT_EQ(Find(controls, "Button2").text, "\r\n");
    EXPECT_EQ(Find(controls, "Button3").text, "A\r\n");
    EXPECT_EQ(Find(controls, "Button4").text, "\r\nA");
    EXPECT_EQ(Find(controls, "Button5").text, "印刷");
    EXPECT_EQ(Find(controls, "Button6").text, "ﾚｲｱｳﾄ\r\n表示");
    for (const char* name : {"Button7", "Button8", "Button9"}) EXPECT_EQ(Find(controls, name).text, "") << name;
    EXPECT_EQ(Find(controls, "Label1").text, "AUTOCADのプログラム位置");
    EXPECT_EQ(Find(controls, "Button10").text, "ﾚｲｱｳﾄ名取得");
    EXPECT_EQ(Find(controls, "Button11").text, "ﾚｲｱｳﾄ欄消去");
    EXPECT_EQ(Find(controls, "Button12").text, "Close CAD");

    EXPECT_TRUE(Find(controls, "Button10").enabled);
    EXPECT_FALSE(Find(controls, "Button11").enabled);

    // Design sizes at 96 dpi; the third row of drop buttons is one pixel lower.
    for (const char* name : {"Button1", "Button5", "Button6"}) {
        EXPECT_EQ(Find(controls, name).rect.Width(), 81) << name;
        EXPECT_EQ(Find(controls, name).rect.Height(), 50) << name;
    }
    EXPECT_EQ(Find(controls, "Button9").rect.Height(), 49);
    Rect b1 = Find(controls, "Button1").rect, b2 = Find(controls, "Button2").rect, b4 = Find(controls, "Button4").rect;
    EXPECT_EQ(b2.left - b1.left, 98);
    EXPECT_EQ(b4.top - b1.top, 63);

    Grid dropped = ParseGrid(Find(controls, "StringGrid2").text);
    ExpectCells(dropped,
                {{0, 0, "FULLFILEPATH"}, {1, 0, "FILENAME"}, {2, 0, "FULLFILENAME"}, {3, 0, "FOLDER"}, {4, 0, ""}});
    Grid layouts = ParseGrid(Find(controls, "StringGrid1").text);
    EXPECT_EQ(layouts.rows, 1);
    EXPECT_EQ(layouts.Cell(0, 0), "");
    for (const char* name : {"ListBox1", "ListBox2", "ListBox3", "ListBox4"})
        EXPECT_TRUE(ParseListBox(Find(controls, name).text).empty()) << name;
    EXPECT_EQ(Find(controls, "TreeView1").text, "");
    EXPECT_TRUE(S().MessageBoxes().empty());

    S().Close();
    EXPECT_EQ(S().WaitExit(kWaitMs), 0);
}

TEST_F(StartUp, WithoutDataIniPathBoxAndCaptionsAreEmpty) {
    S().Start();
    auto controls = S().Controls();
    EXPECT_EQ(Find(controls, "Edit1").text, "");
    for (int n = 1; n <= 9; ++n) EXPECT_EQ(Find(controls, "Button" + std::to_string(n)).text, "") << n;
    EXPECT_TRUE(S().MessageBoxes().empty());
}

TEST_F(Drop, OnButtonWithoutCaptionRecordsFilesThenRefusesNearCursor) {
    std::string plan = S().MakeFile("Data/plan.dwg");
    std::string other = S().MakeFile("Ver1.2/plan");
    S().WriteDataIni("[Section2]\nTextCount=1\n1=open\n");
    S().Start();

    // Drops beside the section buttons are ignored and record nothing: the label, a
    // button that is no drop target, and the window's background.
    std::vector<std::string> three = {S().MakeFile("x1.dwg"), S().MakeFile("x2.dwg"), S().MakeFile("x3.dwg")};
    Rect button3 = S().GetControl("Button3").rect;
    S().Drop("Label1", three);
    S().Drop("Button12", three);
    S().DropAt({button3.right + 8, button3.top + 10}, three);

    Point drop = S().GetControl("Button2").rect.Center();
    S().DropAt(drop, {plan, other});
    MessageBoxInfo box = S().WaitMessageBox("情報", kWaitMs);
    EXPECT_EQ(box.text, "INIファイルが見つかりません。");
    EXPECT_TRUE(box.icon);
    EXPECT_EQ(box.ownerTitle, "Marlowen");
    EXPECT_EQ(box.rect.left, drop.x - 100);
    EXPECT_EQ(box.rect.top, drop.y - 50);

    // The files are recorded and the template loaded before the caption test.
    Grid dropped = ParseGrid(S().GetControl("StringGrid2").text);
    ExpectCells(dropped, {{0, 1, "C:\\d\\Data\\plan.dwg"},
                          {1, 1, "plan.dwg"},
                          {2, 1, "C:\\d\\Data\\plan"},
                          {3, 1, "C:\\d\\Data"},
                          {1, 2, "plan"},
                          {2, 2, "C:\\d\\Ver1.2\\plan"},
                          {3, 2, "C:\\d\\Ver1.2"}});
    EXPECT_EQ(dropped.Cell(0, 3), "") << "an ignored drop recorded its files";
    EXPECT_EQ(ParseListBox(S().GetControl("ListBox1").text),
              (std::vector<std::string>{"C:\\d\\Data\\plan.dwg", "C:\\d\\Ver1.2\\plan"}));
    EXPECT_EQ(ParseListBox(S().GetControl("ListBox3").text), std::vector<std::string>{"open"});

    S().PressOk("情報");
    EXPECT_TRUE(S().MessageBoxes().empty());
    EXPECT_FALSE(std::filesystem::exists(S().RunFolder() + "/test.scr"));
}

TEST_F(Drop, PathsWithSjisTrailBackslashAndOfFullLengthArriveWhole) {
    // 表 is 0x95 0x5C in Shift-JIS: its second byte is the code of "\".
    std::string japanese = S().MakeFile("表/図面 1.dwg");
    // C:\d\ + 100 + \ + 100 + \ + 53 bytes = 260 bytes, the longest path a drop holds.
    std::string a(100, 'a'), b(100, 'b'), name = std::string(49, 'n') + ".dwg";
    std::string longPath = S().MakeFile(a + "/" + b + "/" + name);
    std::string longWindows = "C:\\d\\" + a + "\\" + b + "\\" + name;
    ASSERT_EQ(longWindows.size(), 260u);
    S().Start();

    S().Drop("Button1", {japanese, longPath});
    S().WaitMessageBox("情報", kWaitMs);

    Grid dropped = ParseGrid(S().GetControl("StringGrid2").text);
    ExpectCells(
        dropped,
        {{0, 1, "C:\\d\\表\\図面 1.dwg"}, {1, 1, "図面 1.dwg"}, {2, 1, "C:\\d\\表\\図面 1"}, {3, 1, "C:\\d\\表"}});
    EXPECT_EQ(dropped.Cell(0, 2), longWindows);
    EXPECT_EQ(dropped.Cell(1, 2), name);
    EXPECT_EQ(dropped.Cell(3, 2), "C:\\d\\" + a + "\\" + b);
    EXPECT_EQ(ParseListBox(S().GetControl("ListBox1").text),
              (std::vector<std::string>{"C:\\d\\表\\図面 1.dwg", longWindows}));
    S().PressOk("情報");
}

TEST_F(Drop, ThousandFilesAreRecordedWholeInDropOrderOnBothRoads) {
    S().WriteDataIni("[Program]\nFile=C:\\m\\nothing.exe\n");
    std::vector<std::string> files, paths;
    for (int i = 1; i <= 1000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "多数/%04d.dwg", i);
        files.push_back(S().MakeFile(name));
        paths.push_back("C:\\d\\多数\\" + std::string(name + std::strlen("多数/")));
    }
    S().Start();

    // A button without a caption keeps what the drop recorded: nothing is started.
    S().Drop("Button2", files);
    EXPECT_EQ(S().WaitMessageBox("情報", 60000).text, "INIファイルが見つかりません。");
    EXPECT_EQ(ParseListBox(S().GetControl("ListBox1").text), paths);
    Grid dropped = ParseGrid(S().GetControl("StringGrid2").text);
    EXPECT_EQ(dropped.rows, 5) << "a section drop leaves the row count";
    EXPECT_EQ(dropped.Cell(0, 4), paths[3]);
    S().PressOk("情報");

    // The survey drop shows every row; its script lists every drawing.
    S().Drop("Button10", files);
    WaitUntil([&] { return !S().GetControl("Button10").enabled; }, 60000, "the survey to start");
    dropped = ParseGrid(S().GetControl("StringGrid2").text);
    EXPECT_EQ(dropped.rows, 1001);
    EXPECT_EQ(dropped.cols, 5);
    std::string script;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(dropped.Cell(0, i + 1), paths[i]);
        EXPECT_EQ(dropped.Cell(1, i + 1), paths[i].substr(std::strlen("C:\\d\\多数\\")));
        EXPECT_EQ(dropped.Cell(3, i + 1), "C:\\d\\多数");
        script += "open\r\n\"" + paths[i] + "\"\r\nlayout\r\n?\r\n";
    }
    EXPECT_EQ(S().ReadText(S().RunFolder() + "/test.scr"), script + "OWARI\r\n");
    EXPECT_EQ(S().WindowRect().Height(), 460);
    Control tree = S().GetControl("TreeView1");
    EXPECT_TRUE(tree.visible);
    EXPECT_LE(tree.rect.bottom, S().WindowRect().bottom) << "the tree is in view";
}

TEST_F(SurveyDrop, GrowsWindowSwapsButtonsAndIgnoresSecondDrop) {
    // A CAD whose prompt never comes within the case.
    S().WriteDataIni("[Program]\nFile=C:\\m\\StandInCad.exe /startdelay:60000\n");
    std::string first = S().MakeFile("a.dwg");
    std::string second = S().MakeFile("b.dwg");
    S().Start();
    Point button10 = S().GetControl("Button10").rect.Center();

    S().DropAt(button10, {first});
    // Button10 is disabled last before the survey starts waiting.
    WaitUntil([&] { return !S().GetControl("Button10").enabled; }, kWaitMs, "Button10 to be disabled");
    Rect window = S().WindowRect();
    EXPECT_EQ(window.Height(), 460);
    EXPECT_EQ(window.Width(), 325);
    EXPECT_EQ(window.top, 100);
    EXPECT_TRUE(S().GetControl("Button11").enabled);
    Grid layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.Cell(0, 0), "取得完了");
    EXPECT_EQ(layouts.Cell(1, 0), "ﾚｲｱｳﾄ数");
    EXPECT_EQ(ParseGrid(S().GetControl("StringGrid2").text).rows, 2);

    // The survey now waits for CAD's prompt; the window keeps handling drops. Button10 is
    // disabled, so a drop there lands on the panel and is ignored. A refused drop after it
    // shows when the ignored one has been handled.
    S().DropAt(button10, {first, second});
    S().Drop("Button1", {second});
    S().WaitMessageBox("情報", kWaitMs);
    S().PressOk("情報");
    EXPECT_EQ(S().WindowRect().Height(), 460);
    EXPECT_FALSE(S().GetControl("Button10").enabled);
    EXPECT_EQ(ParseGrid(S().GetControl("StringGrid2").text).rows, 2);
    layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.Cell(0, 2), "");

    S().Close();
    EXPECT_EQ(S().WaitExit(kWaitMs), 0) << "closing the window during the survey's wait ends the program";
}

TEST_F(CadProgramDialog, CancelKeepsEverythingConfirmStoresChosenPath) {
    S().WriteDataIni("[Program]\nFile=C:\\old\\cad.exe\n[Section1]\nLabel=図面+印刷\nTextCount=1\n");
    std::string before = ReadBytes(S().DataIniPath());
    S().MakeFile("表/cad.exe");
    S().Start();

    S().Click("btnAutoFile");
    S().CancelFileDialog();
    EXPECT_EQ(S().GetControl("Edit1").text, "C:\\old\\cad.exe");
    EXPECT_EQ(ReadBytes(S().DataIniPath()), before);

    S().Click("btnAutoFile");
    S().ChooseFile("C:\\d\\表\\cad.exe");
    WaitUntil([&] { return S().GetControl("Edit1").text == "C:\\d\\表\\cad.exe"; }, kWaitMs,
              "Edit1 to show the chosen path");
    std::string ini = S().ReadText(S().DataIniPath());
    EXPECT_NE(ini.find("File=C:\\d\\表\\cad.exe\r\n"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("C:\\old"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Label=図面+印刷\r\n"), std::string::npos) << ini;
    EXPECT_TRUE(S().MessageBoxes().empty());
}

TEST_F(CadProgramDialog, ConfirmWithoutDataIniCreatesIt) {
    S().Start();
    S().Click("btnAutoFile");
    S().ChooseFile("C:\\d\\cad.exe");
    WaitUntil([&] { return std::filesystem::exists(S().DataIniPath()); }, kWaitMs, "data.ini to be created");
    EXPECT_NE(S().ReadText(S().DataIniPath()).find("[Program]\r\nFile=C:\\d\\cad.exe"), std::string::npos);
}

TEST_F(CadProgramDialog, UnwritableDataIniShowsErrorBoxAndKeepsFile) {
    S().WriteDataIni("[Program]\nFile=C:\\old\\cad.exe\n");
    std::string before = ReadBytes(S().DataIniPath());
    // Root writes through a read-only mode or attribute; an immutable file stops Wine, and
    // where the file system cannot do that, a folder in the file's place does.
    bool immutable = S().MakeImmutable(S().DataIniPath());
    if (!immutable) {
        std::filesystem::remove(S().DataIniPath());
        std::filesystem::create_directory(S().DataIniPath());
    }
    S().Start();

    S().Click("btnAutoFile");
    S().ChooseFile("C:\\d\\new.exe");
    MessageBoxInfo box = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(box.text, "C:\\m\\data.ini に書き込めません.");
    EXPECT_TRUE(box.icon);
    EXPECT_EQ(S().GetControl("Edit1").text, "C:\\d\\new.exe");
    if (immutable) {
        EXPECT_EQ(ReadBytes(S().DataIniPath()), before);
    }

    // The program goes on after the error.
    S().PressOk("Marlowen");
    EXPECT_TRUE(S().MessageBoxes().empty());
    EXPECT_TRUE(S().Running());
    EXPECT_TRUE(S().GetControl("btnAutoFile").enabled);
}

}  // namespace
}  // namespace e2e
