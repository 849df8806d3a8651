// Dropped paths that a script cannot carry: a name with a character the ANSI code page lacks
// (𠮷) and a path over 260 bytes, each among ordinary files or inside a dropped folder, on a
// section button and on the layout button; and a dropped folder without drawings. The drop is
// refused in the information box, which names them whole, and changes nothing: no table,
// list, button or window height, no script, no CAD.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr int kWaitMs = 10000;

constexpr const char* kIntro =
    "次のファイルはパスをスクリプトに正しく書き込めないため、このドロップでは何もしませんでした。\r\n";
constexpr const char* kLostReason =
    "・ANSI コードページ (Shift-JIS) にない文字を含むパスは、その文字が「?」に変わります。\r\n";
constexpr const char* kLongReason = "・260 バイト (全角でおよそ 130 文字) を超えるパスは途中で切れます。\r\n";
constexpr const char* kWhatToDo =
    "ファイルかフォルダーの名前を変えるか、短いパスの場所へ移してから、もう一度ドロップしてください。\r\n";

// A captioned section that would run at once, with CAD logging if it were started.
constexpr const char* kDataIni =
    "[Program]\nFile=C:\\m\\StandInCad.exe /log:C:\\run\\cad.log\n"
    "[Section1]\nLabel=印刷\nTextCount=2\n1=open\n2=[FULLFILEPATH]\n";

// C:\d\ + 100 + \ + 100 + \ + 79 + \ + 13 bytes: 300 bytes; no unix name part is over 255.
struct LongPath {
    std::string relative =
        std::string(100, 'a') + "/" + std::string(100, 'b') + "/" + std::string(79, 'c') + "/long-plan.dwg";
    std::string windows = "C:\\d\\" + std::string(100, 'a') + "\\" + std::string(100, 'b') + "\\" +
                          std::string(79, 'c') + "\\long-plan.dwg";
};

class DropRefusal : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        S().WriteDataIni(kDataIni);
        plan = S().MakeFile("図面/plan.dwg");
        section = S().MakeFile("図面/section.dwg");
        yoshi = S().MakeFile("図面/𠮷野家.dwg");
        longPath = S().MakeFile(LongPath().relative);
        // No drawing, only other files and a hidden one.
        S().MakeFile("空/下/memo.txt");
        S().MakeFile("空/.hidden.dwg");
        ASSERT_EQ(LongPath().windows.size(), 300u);
        S().Start();
    }

    // Drops, checks the box's text and place, and closes it.
    void ExpectRefused(const std::string& target, const std::vector<std::string>& files, const std::string& text) {
        Point drop = S().GetControl(target).rect.Center();
        S().DropAt(drop, files);
        MessageBoxInfo box = S().WaitMessageBox("情報", kWaitMs);
        EXPECT_EQ(box.text, text);
        EXPECT_TRUE(box.icon);
        EXPECT_EQ(box.ownerTitle, "Marlowen");
        EXPECT_EQ(box.rect.left, drop.x - 100);
        EXPECT_EQ(box.rect.top, drop.y - 50);
        S().PressOk("情報");
    }

    // The window as start-up left it: the refused drops changed nothing.
    void ExpectUntouched() {
        EXPECT_EQ(S().WindowRect().Height(), 345);
        EXPECT_TRUE(S().GetControl("Button10").enabled);
        EXPECT_FALSE(S().GetControl("Button11").enabled);
        Grid dropped = ParseGrid(S().GetControl("StringGrid2").text);
        EXPECT_EQ(dropped.Cell(0, 0), "FULLFILEPATH");
        EXPECT_EQ(dropped.rows, 5);
        EXPECT_EQ(dropped.Cell(0, 1), "");
        Grid layouts = ParseGrid(S().GetControl("StringGrid1").text);
        EXPECT_EQ(layouts.Cell(0, 0), "");
        EXPECT_EQ(layouts.rows, 1);
        EXPECT_TRUE(ParseListBox(S().GetControl("ListBox1").text).empty());
        EXPECT_TRUE(ParseListBox(S().GetControl("ListBox3").text).empty());
        EXPECT_FALSE(std::filesystem::exists(S().RunFolder() + "/test.scr"));
        EXPECT_FALSE(std::filesystem::exists(S().RunFolder() + "/cad.log"));
        EXPECT_FALSE(S().ProcessRunning("StandInCad.exe"));
    }

    std::string plan, section, yoshi, longPath;
};

TEST_F(DropRefusal, SectionButtonRefusesNamesItCannotWriteAndRunsOnceTheyAreGone) {
    ExpectRefused("Button1", {plan, yoshi, section},
                  std::string(kIntro) + kLostReason + kWhatToDo + "\r\nC:\\d\\図面\\𠮷野家.dwg");
    ExpectRefused("Button1", {longPath, plan},
                  std::string(kIntro) + kLongReason + kWhatToDo + "\r\n" + LongPath().windows);
    // The same names found inside dropped folders.
    ExpectRefused("Button1", {S().DriveC() + "/d/図面"},
                  std::string(kIntro) + kLostReason + kWhatToDo + "\r\nC:\\d\\図面\\𠮷野家.dwg");
    ExpectRefused("Button1", {plan, S().DriveC() + "/d/" + std::string(100, 'a')},
                  std::string(kIntro) + kLongReason + kWhatToDo + "\r\n" + LongPath().windows);
    ExpectUntouched();

    // The ordinary files alone run as usual.
    S().Drop("Button1", {plan, section});
    const std::string script = S().RunFolder() + "/test.scr";
    const std::string expected = Utf8ToSjis(
        "open\r\nC:\\d\\図面\\plan.dwg\r\nopen\r\nC:\\d\\図面\\section.dwg\r\nnew "
        "\r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n");
    WaitUntil([&] { return std::filesystem::exists(script) && ReadBytes(script) == expected; }, kWaitMs,
              "test.scr of the ordinary files");
}

TEST_F(DropRefusal, LayoutButtonRefusesBeforeTheSurveyStarts) {
    ExpectRefused("Button10", {yoshi, longPath, plan},
                  std::string(kIntro) + kLostReason + kLongReason + kWhatToDo + "\r\nC:\\d\\図面\\𠮷野家.dwg\r\n" +
                      LongPath().windows);
    ExpectUntouched();
}

TEST_F(DropRefusal, FolderWithoutDrawingsIsRefusedByNameOnBothRoads) {
    const std::string empty = S().DriveC() + "/d/空";
    const std::string text =
        "次のフォルダーには図面 (名前が .dwg で終わるファイル) がないため、このドロップでは何もしませんでした。\r\n"
        "・サブフォルダーの中も探します。\r\n"
        "・隠しファイルとシステム ファイル、リンクとジャンクションの先は探しません。\r\n\r\nC:\\d\\空";
    ExpectRefused("Button1", {empty}, text);
    ExpectRefused("Button10", {empty}, text);
    ExpectUntouched();
}

// A read of many folders: the window answers and shows its count in the label above the path
// box; a drop meanwhile is refused and changes nothing; the first drop then goes on.
TEST_F(DropRefusal, LongFolderReadShowsItsCountRefusesAnotherDropAndGoesOn) {
    // 100 folders of 250 empty subfolders and one drawing: under Wine each folder read costs
    // about a tenth of a millisecond, so this is seconds of reading, with few drawings to run.
    constexpr int kFolders = 100, kEmpty = 250;
    const std::string big = S().DriveC() + "/d/大";
    std::string expected;
    for (int f = 0; f < kFolders; ++f) {
        const std::string folder = big + "/F" + std::to_string(f);
        for (int i = 0; i < kEmpty; ++i) std::filesystem::create_directories(folder + "/" + std::to_string(i));
        std::ofstream(folder + "/z.dwg");
        expected += "open\r\nC:\\d\\大\\F" + std::to_string(f) + "\\z.dwg\r\n";
    }
    expected = Utf8ToSjis(expected + "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n");
    const Point section = S().GetControl("Button1").rect.Center();
    const Point other = S().GetControl("Button2").rect.Center();

    S().DropAt(section, {big});
    std::string shown;
    WaitUntil([&] { return (shown = S().GetControl("Label1").text).starts_with("図面を探しています: "); }, kWaitMs,
              "the label to show the count");
    EXPECT_TRUE(shown.ends_with(" 件")) << shown;
    S().DropAt(other, {plan});
    MessageBoxInfo box = S().WaitMessageBox("情報", kWaitMs);
    EXPECT_EQ(box.text, "ドロップしたフォルダーの中の図面を探しています。終わってから、もう一度ドロップしてください。");
    S().PressOk("情報");

    const std::string script = S().RunFolder() + "/test.scr";
    WaitUntil([&] { return std::filesystem::exists(script) && ReadBytes(script) == expected; }, 60000,
              "test.scr of the folder's drawings");
    // The count went with the read; the line says what the run it started waits for.
    const std::string after = S().GetControl("Label1").text;
    EXPECT_FALSE(after.starts_with("図面を探しています")) << after;
    EXPECT_NE(after, "AUTOCADのプログラム位置");
    EXPECT_TRUE(S().MessageBoxes().empty());
}

}  // namespace
}  // namespace e2e
