// What a large drop costs Marlowen, beside the floor of a bare window program that only takes
// the drop (bench_drop_floor.exe): real X11 drops under Wine of 100, 1,000 and 5,000 files,
// timed from the start of the drop until test.scr holds the whole script, for a section drop
// (a 20-line template; the path box points at no program) and for a survey drop (no CAD); and
// the drop of one folder of 5,000 and of 50,000 drawings in subfolders of 100 on the section
// button. The floor reads the same paths with DragQueryFileW, reads the folder with
// FindFirstFileExW in the shell's order (StrCmpLogicalW) and writes the same bytes with one
// WriteFile.
// Then the survey's reading of three drawings with 150 and with 1,500 layouts each against the
// stand-in CAD: from CAD's "OWARI" to the first text of the quit sequence, timed on the
// stand-in's own clock (/logtime).
//
//   bench_drop [--runs R] [--max-files N] [--drops 0|1] [--folders 0|1] [--max-folder N] [--layouts 0|1]
//                                                                  (3, 5000, 1, 1, 50000, 1)
//
// Built natively against the end-to-end harness; run by hand. It uses the Wine prefix of the
// processor-time benchmarks (<build>/bench-wineprefix, made on the first run), so it may run
// beside the tests. Each figure is the median of R runs, each in a fresh session.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport_posix.h"
#include "testsupport/Wait.h"
#include "text/Encoding.h"

namespace {

using namespace e2e;
using namespace bench;
namespace fs = std::filesystem;

constexpr int kSettlePauseMs = 300;
constexpr int kScriptWaitMs = 300000;
constexpr const char* kFloorTitle = "DropFloor";
constexpr const char* kFolder = "図面";

struct Options {
    int runs = 3;
    int maxFiles = 5000;
    int drops = 1;
    int folders = 1;
    int maxFolder = 50000;
    int layouts = 1;
};

Options ReadOptions(int argc, char** argv) {
    Options options;
    ParseOptions(argc, argv,
                 {{"--runs", &options.runs},
                  {"--max-files", &options.maxFiles},
                  {"--drops", &options.drops},
                  {"--folders", &options.folders},
                  {"--max-folder", &options.maxFolder},
                  {"--layouts", &options.layouts}});
    if (options.runs < 1 || options.maxFiles < 1) throw HarnessError("runs and files must be positive");
    return options;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The 20 template lines of the section drop: every placeholder, blank answers, a save.
const std::vector<std::string> kTemplate = {"open",
                                            "[FULLFILEPATH]",
                                            "zoom",
                                            "e",
                                            "-layer",
                                            "s",
                                            "0",
                                            "",
                                            "-plot",
                                            "y",
                                            "",
                                            "[FULLFILENAME].pdf",
                                            "n",
                                            "y",
                                            "dxfout",
                                            "[FOLDER]\\out.dxf",
                                            "echo [FILENAME]",
                                            "-purge",
                                            "a",
                                            "qsave"};

// Folder: one folder dropped on the section button, its drawings in subfolders of 100.
enum class Road { Section, Survey, Folder };
constexpr int kPerSubfolder = 100;

std::string FileName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d.dwg", i);
    return name;
}

// Drawing i under C:\d, "\" between the names; the shell lists the subfolders F1, F2, … F10 by
// their numbers, so drawing i comes i-th.
std::string DrawingPath(Road road, int i) {
    if (road != Road::Folder) return std::string(kFolder) + "\\" + FileName(i);
    return std::string(kFolder) + "\\F" + std::to_string((i - 1) / kPerSubfolder + 1) + "\\" + FileName(i);
}

// The expected script is written out here by hand, not by Marlowen's rules.
std::string ExpectedScript(Road road, int files) {
    std::string text;
    for (int i = 1; i <= files; ++i) {
        const std::string name = FileName(i);
        const std::string path = "C:\\d\\" + DrawingPath(road, i);
        if (road == Road::Survey) {
            text += "open\r\n\"" + path + "\"\r\nlayout\r\n?\r\n";
            continue;
        }
        const std::string stem = path.substr(0, path.size() - 4);
        text += "open\r\n" + path + "\r\nzoom\r\ne\r\n-layer\r\ns\r\n0\r\n\r\n-plot\r\ny\r\n\r\n" + stem +
                ".pdf\r\nn\r\ny\r\ndxfout\r\n" + path.substr(0, path.size() - name.size() - 1) + "\\out.dxf\r\necho " +
                name + "\r\n-purge\r\na\r\nqsave\r\n";
    }
    text += road == Road::Survey ? "OWARI\r\n" : "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n";
    return ShiftJisFromUtf8(text);
}

std::string DataIni() {
    std::string ini = "[Program]\nFile=C:\\m\\nothing.exe\n[Section1]\nLabel=一括\nTextCount=20\n";
    for (size_t k = 0; k < kTemplate.size(); ++k) ini += std::to_string(k + 1) + "=" + kTemplate[k] + "\n";
    return ini;
}

// The unix paths to drop: the drawings, or their folder.
std::vector<std::string> MakeDrawings(Session& s, Road road, int files) {
    std::vector<std::string> paths;
    for (int i = 1; i <= files; ++i) {
        std::string relative = DrawingPath(road, i);
        std::replace(relative.begin(), relative.end(), '\\', '/');
        paths.push_back(s.MakeFile(relative));
    }
    if (road == Road::Folder) return {s.DriveC() + "/d/" + kFolder};
    return paths;
}

long long FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

struct DropTime {
    double dropMs = 0;    // until the XDND source was told the drop is finished
    double scriptMs = 0;  // until test.scr held the whole script
};

DropTime TimeDrop(Session& s, Point at, const std::vector<std::string>& files, const std::string& script) {
    const std::string scr = s.RunFolder() + "/test.scr";
    fs::remove(scr);
    const long long size = static_cast<long long>(script.size());
    DropTime time;
    const auto start = Clock::now();
    s.DropAt(at, files);
    time.dropMs = MsSince(start);
    // A short sleep between looks: the machine is shared, and a stat costs microseconds.
    const auto complete = [&] { return FileSize(scr) == size; };
    if (!PollUntil(complete, kScriptWaitMs, [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }))
        throw HarnessError("test.scr was not complete within 300 s of the drop");
    time.scriptMs = MsSince(start);
    if (ReadBytes(scr) != script) throw HarnessError("test.scr does not hold the expected script");
    return time;
}

DropTime MarlowenDrop(const Screen& screen, const Locations& where, Road road, int files) {
    Session s(screen, where);
    s.WriteDataIni(DataIni());
    const std::vector<std::string> drawings = MakeDrawings(s, road, files);
    s.Start();
    WaitSettled(s, kSettlePauseMs);
    const Point at = s.GetControl(road == Road::Survey ? "Button10" : "Button1").rect.Center();
    return TimeDrop(s, at, drawings, ExpectedScript(road, files));
}

DropTime FloorDrop(const Screen& screen, const Locations& where, Road road, int files) {
    Session s(screen, where);
    const std::vector<std::string> drawings = MakeDrawings(s, road, files);
    const std::string script = ExpectedScript(road, files);
    WriteBytes(s.DriveC() + "/m/floor.bin", script);
    s.StartProgram({FLOOR_EXE, "C:\\m\\floor.bin"});
    s.Inspect({"wait-window", kFloorTitle, "30000"}, 40000);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    return TimeDrop(s, ParseRect(s.Inspect({"rect", kFloorTitle})).Center(), drawings, script);
}

struct Figure {
    double marlowen = 0, floor = 0, marlowenDrop = 0, floorDrop = 0;
};

Figure Measure(const Screen& screen, const Locations& where, Road road, int files, int runs) {
    std::vector<double> marlowen, floor, marlowenDrop, floorDrop;
    for (int run = 0; run < runs; ++run) {
        const DropTime m = MarlowenDrop(screen, where, road, files);
        const DropTime f = FloorDrop(screen, where, road, files);
        marlowen.push_back(m.scriptMs);
        floor.push_back(f.scriptMs);
        marlowenDrop.push_back(m.dropMs);
        floorDrop.push_back(f.dropMs);
    }
    return {Median(marlowen), Median(floor), Median(marlowenDrop), Median(floorDrop)};
}

void Drops(const Screen& screen, const Locations& where, const Options& options) {
    std::printf("\ndrop to complete test.scr, median of %d runs (ms); xdnd: until the drop source was done\n",
                options.runs);
    std::printf("%-8s %6s %12s %10s %10s %10s %12s %10s\n", "road", "files", "Marlowen", "floor", "ratio", "",
                "xdnd Marl.", "xdnd floor");
    const auto row = [](const char* road, int files, const Figure& figure, const char* scale) {
        std::printf("%-8s %6d %12.0f %10.0f %10.2f %10s %12.0f %10.0f\n", road, files, figure.marlowen, figure.floor,
                    figure.marlowen / figure.floor, scale, figure.marlowenDrop, figure.floorDrop);
        std::fflush(stdout);
    };
    if (options.drops) {
        for (Road road : {Road::Section, Road::Survey}) {
            double marlowenAt1000 = 0;
            for (int files : {100, 1000, 5000}) {
                if (files > options.maxFiles) continue;
                const Figure figure = Measure(screen, where, road, files, options.runs);
                if (files == 1000) marlowenAt1000 = figure.marlowen;
                char scale[32] = "";
                if (files == 5000 && marlowenAt1000 > 0)
                    std::snprintf(scale, sizeof scale, "%.1fx1000", figure.marlowen / marlowenAt1000);
                row(road == Road::Section ? "section" : "survey", files, figure, scale);
            }
        }
    }
    if (options.folders) {
        double marlowenAt5000 = 0;
        for (int files : {5000, 50000}) {
            if (files > options.maxFolder) continue;
            const Figure figure = Measure(screen, where, Road::Folder, files, options.runs);
            if (files == 5000) marlowenAt5000 = figure.marlowen;
            char scale[32] = "";
            if (files == 50000 && marlowenAt5000 > 0)
                std::snprintf(scale, sizeof scale, "%.1fx5000", figure.marlowen / marlowenAt5000);
            row("folder", files, figure, scale);
        }
    }
}

// The time on the stand-in's clock at the end of a log line (" t=MS").
double LogTime(const std::string& line) {
    const size_t at = line.rfind(" t=");
    if (at == std::string::npos) throw HarnessError("log line without time: " + line);
    return std::stod(line.substr(at + 3));
}

double OwariToQuitMs(const Screen& screen, const Locations& where, int layouts) {
    Session s(screen, where);
    // A history long enough for the listing of 1,500 layouts, which the pane must show whole.
    s.WriteDataIni("[Program]\nFile=C:\\m\\StandInCad.exe /log:C:\\run\\cad.log /logtime /historylines:2000\n");
    std::string content;
    for (int k = 0; k < layouts; ++k) content += k == 0 ? "Model\r\n" : "Layout" + std::to_string(k) + "\r\n";
    std::vector<std::string> drawings;
    for (const char* name : {"a.dwg", "b.dwg", "c.dwg"}) drawings.push_back(s.MakeFile(name, content));
    const StandInLog log(s.RunFolder() + "/cad.log");
    s.Start();
    WaitSettled(s, kSettlePauseMs);
    s.Drop("Button10", drawings);
    WaitUntil([&] { return log.Count("exit 0") == 1; }, 120000, "the survey to quit the stand-in CAD");

    double owari = -1, quit = -1;
    for (const std::string& line : log.Lines()) {
        if (line.rfind("script-line \"OWARI\"", 0) == 0) owari = LogTime(line);
        if (owari >= 0 && quit < 0 && line.rfind("recv ", 0) == 0 &&
            line.find(" text=\"filedia\\r\"") != std::string::npos)
            quit = LogTime(line);
    }
    if (owari < 0 || quit < 0) throw HarnessError("the stand-in's log lacks OWARI or the quit sequence");
    Grid table = ParseGrid(s.GetControl("StringGrid1").text);
    for (int row = 1; row <= 3; ++row)
        if (table.Cell(1, row) != std::to_string(layouts))
            throw HarnessError("row " + std::to_string(row) + " of the layout table holds '" + table.Cell(1, row) +
                               "'");
    return quit - owari;
}

void Layouts(const Screen& screen, const Locations& where, const Options& options) {
    std::printf("\nsurvey of 3 drawings: OWARI to the quit sequence on the stand-in's clock, median of %d runs\n",
                options.runs);
    std::printf("(the span holds the survey's timer pacing: up to 300 ms until OWARI is seen, one tick per close)\n");
    std::printf("%8s %10s %10s\n", "layouts", "ms", "per 150");
    double at150 = 0;
    for (int layouts : {150, 1500}) {
        std::vector<double> spans;
        for (int run = 0; run < options.runs; ++run) spans.push_back(OwariToQuitMs(screen, where, layouts));
        const double ms = Median(spans);
        if (layouts == 150) at150 = ms;
        std::printf("%8d %10.0f %10.2f\n", layouts, ms, ms / at150 * 150.0 / layouts);
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ReadOptions(argc, argv);
        const Locations where = IsolatedLocations(BENCH_WINEPREFIX);
        PrintMachineLoad();
        Screen screen;
        if (options.drops || options.folders) Drops(screen, where, options);
        if (options.layouts) Layouts(screen, where, options);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_drop: %s\n", e.what());
        return 1;
    }
}
