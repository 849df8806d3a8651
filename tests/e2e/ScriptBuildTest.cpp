// marlowen-script.exe build gives the very bytes Marlowen writes to test.scr for the same
// data.ini and dropped files: before any survey, with the layouts of a survey against the
// stand-in CAD, listed from Marlowen's own layout table, and for a dropped folder.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"
#include "testsupport/StandInLog.h"

namespace e2e {
namespace {

constexpr int kWaitMs = 30000;

constexpr const char* kDataIni =
    "[Program]\n"
    "File=C:\\m\\StandInCad.exe /log:C:\\run\\cad.log\n"
    "[Section1]\n"
    "Label=ﾚｲｱｳﾄ毎+印刷\n"
    "TextCount=7\n"
    "1=open\n"
    "2=\"\"[FULLFILEPATH]\"\"\n"
    "3=[LAYOUTLOOP]\n"
    "4=-plot\n"
    "5=[LAYOUTNAME]\n"
    "6=[LOOPEND]\n"
    "7=close\n"
    "[Section2]\n"
    "Label=開いて+閉じる\n"
    "TextCount=4\n"
    "1=open\n"
    "2=\"\"[FULLFILEPATH]\"\"\n"
    "3=-export \"[FULLFILENAME].pdf\" [FILENAME]\n"
    "4=close\n";

// Until its process is gone too: CAD takes a moment to close after its quit, and a drop meanwhile
// is refused.
void WaitForCadExits(Session& s, int count) {
    const StandInLog log(s.RunFolder() + "/cad.log");
    WaitUntil([&] { return log.Count("exit 0") >= count; }, kWaitMs, "the stand-in CAD to run its script and quit");
    WaitUntil([&] { return !s.ProcessRunning("StandInCad.exe"); }, kWaitMs, "the stand-in's process to end");
}

// test.scr of a drop, once the stand-in CAD has run it and quit for the exits-th time.
std::string ScriptOfDrop(Session& s, const std::string& button, const std::vector<std::string>& files, int exits) {
    s.Drop(button, files);
    WaitForCadExits(s, exits);
    return ReadBytes(s.RunFolder() + "/test.scr");
}

// The layout table as marlowen-script reads it: one line per surveyed drawing, its path and
// its layout names, tab-separated, Shift-JIS.
std::string LayoutListing(const Grid& table) {
    std::string listing;
    for (int row = 1; row < table.rows; ++row) {
        listing += table.Cell(0, row);
        const int count = std::stoi(table.Cell(1, row));
        for (int col = 2; col < count + 2; ++col) listing += "\t" + table.Cell(col, row);
        listing += "\r\n";
    }
    return Utf8ToSjis(listing);
}

using ScriptBuild = E2eTest;

TEST_F(ScriptBuild, GivesMarlowensTestScrByteForByteWithoutAndWithASurvey) {
    S().WriteDataIni(kDataIni);
    const std::string a = S().MakeFile("図面/a.dwg", Utf8ToSjis("Model\r\nLayout1\r\n"));
    const std::string b = S().MakeFile("図面/表 b.dwg", Utf8ToSjis("Model\r\n平面図\r\n立面図\r\n"));
    const std::string c = S().MakeFile("図面/c.dwg", Utf8ToSjis("Model\r\n"));
    const std::string pa = "C:\\d\\図面\\a.dwg", pb = "C:\\d\\図面\\表 b.dwg", pc = "C:\\d\\図面\\c.dwg";
    const std::filesystem::path winBuild = std::filesystem::path(S().Where().marlowenExe).parent_path().parent_path();
    std::filesystem::copy_file(winBuild / "marlowen-script" / "marlowen-script.exe",
                               S().DriveC() + "/m/marlowen-script.exe");
    S().Start();

    // No survey yet; the program finds data.ini beside itself, as Marlowen does. Of the two
    // placeholders of line 3, [FILENAME] comes first in the order and is the one replaced.
    const std::string plain = ScriptOfDrop(S(), "Button2", {a, b}, 1);
    EXPECT_EQ(plain,
              Utf8ToSjis("open\r\n\"C:\\d\\図面\\a.dwg\"\r\n-export \"[FULLFILENAME].pdf\" a.dwg\r\nclose\r\n"
                         "open\r\n\"C:\\d\\図面\\表 b.dwg\"\r\n-export \"[FULLFILENAME].pdf\" 表 b.dwg\r\nclose\r\n"
                         "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n"));
    RunResult built = S().RunProgram({"C:\\m\\marlowen-script.exe", "build", "2", pa, pb}, kWaitMs);
    EXPECT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(built.out, plain);
    // b's file name with its blank lands outside the quotes.
    EXPECT_NE(built.err.find(Utf8ToSjis(pb + ": 空白を含むパスが二重引用符の外に入る行があります")), std::string::npos)
        << SjisToUtf8(built.err);

    // Before a survey the loop line is refused, by the window and by the program alike.
    built = S().RunProgram({"C:\\m\\marlowen-script.exe", "build", "1", pa}, kWaitMs);
    EXPECT_EQ(built.exitCode, 1);
    EXPECT_EQ(built.out, "");
    // Messages go to standard error in text mode: Windows ends their lines in CR LF.
    EXPECT_EQ(SjisToUtf8(built.err), "レイアウト名を取得してください。\r\n");

    S().Drop("Button10", {a, b, c});
    WaitForCadExits(S(), 2);
    const Grid table = ParseGrid(S().GetControl("StringGrid1").text);
    ASSERT_EQ(table.rows, 4);
    WriteBytes(S().RunFolder() + "/layouts.txt", LayoutListing(table));

    // Two files: c's survey row (3) lies below the drop's file count and yields no loop lines.
    const std::string looped = ScriptOfDrop(S(), "Button1", {c, b}, 3);
    EXPECT_EQ(
        looped,
        Utf8ToSjis(
            "open\r\n\"C:\\d\\図面\\c.dwg\"\r\nclose\r\n"
            "open\r\n\"C:\\d\\図面\\表 b.dwg\"\r\n-plot\r\nModel\r\n-plot\r\n平面図\r\n-plot\r\n立面図\r\nclose\r\n"
            "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n"));
    built = S().RunProgram({"C:\\m\\marlowen-script.exe", "build", "--ini", "C:\\m\\data.ini", "--layouts",
                            "C:\\run\\layouts.txt", "--out", "C:\\run\\built.scr", "1", pc, pb},
                           kWaitMs);
    EXPECT_EQ(built.exitCode, 0) << SjisToUtf8(built.err);
    EXPECT_EQ(built.out, "");
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/built.scr"), looped);
    EXPECT_EQ(SjisToUtf8(built.err),
              pc + ": レイアウト一覧の 3 行目にありますが、ドロップしたファイルの数 (2) より下の行は"
                   "探されないため、ループの行は何も書きません\r\n");

    // A folder: the window and the program read it alike, in the shell's order.
    const std::string fromFolder = ScriptOfDrop(S(), "Button2", {S().DriveC() + "/d/図面"}, 4);
    EXPECT_EQ(fromFolder,
              Utf8ToSjis("open\r\n\"C:\\d\\図面\\a.dwg\"\r\n-export \"[FULLFILENAME].pdf\" a.dwg\r\nclose\r\n"
                         "open\r\n\"C:\\d\\図面\\c.dwg\"\r\n-export \"[FULLFILENAME].pdf\" c.dwg\r\nclose\r\n"
                         "open\r\n\"C:\\d\\図面\\表 b.dwg\"\r\n-export \"[FULLFILENAME].pdf\" 表 b.dwg\r\nclose\r\n"
                         "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n"));
    built = S().RunProgram({"C:\\m\\marlowen-script.exe", "build", "2", "C:\\d\\図面"}, kWaitMs);
    EXPECT_EQ(built.exitCode, 0) << SjisToUtf8(built.err);
    EXPECT_EQ(built.out, fromFolder);
}

}  // namespace
}  // namespace e2e
