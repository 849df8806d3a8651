// Marlowen's processor time during a layout survey against the stand-in CAD, beside the
// survey's wall time: the survey mostly waits for CAD, and its waits should cost next to
// nothing. A second figure is the cost of the wait alone: a survey whose CAD never gets ready.
//
//   bench_survey_cpu [--drawings N] [--layouts L] [--runs R] [--cmddelay MS] [--idle MS]
//
// Built natively against the end-to-end harness (same Wine prefix, stand-in and inspector);
// run by hand under tools/wine-env.sh, after the test e2e_prefix has made the prefix (or it is
// made here).
// The processor time is read twice: by the inspector (GetThreadTimes over Marlowen's threads)
// and from /proc/<pid>/stat of the unix process that runs Marlowen.exe.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport_posix.h"

namespace {

using namespace e2e;
using namespace bench;

constexpr int kSettlePauseMs = 300;

struct Options {
    int drawings = 20;
    int layouts = 4;
    int runs = 3;
    int cmdDelayMs = 0;
    int idleMs = 5000;
};

struct Sample {
    double wallMs = 0, inspectorCpuMs = 0, procCpuMs = 0;
};

Options ReadOptions(int argc, char** argv) {
    Options options;
    ParseOptions(argc, argv,
                 {{"--drawings", &options.drawings},
                  {"--layouts", &options.layouts},
                  {"--runs", &options.runs},
                  {"--cmddelay", &options.cmdDelayMs},
                  {"--idle", &options.idleMs}});
    if (options.drawings < 1 || options.layouts < 1 || options.runs < 1 || options.idleMs < 1)
        throw HarnessError("counts and times must be positive");
    return options;
}

double InspectorCpuMs(Session& s) { return static_cast<double>(s.ProcessCpuTime().TotalMs()); }

Sample Survey(const Screen& screen, const Options& options) {
    Session s(screen);
    // A drawing's history holds its whole listing, which the pane must show.
    std::string program = "[Program]\nFile=C:\\m\\StandInCad.exe /log:C:\\run\\cad.log /historylines:" +
                          std::to_string(options.layouts + 400);
    if (options.cmdDelayMs > 0) program += " /cmddelay:" + std::to_string(options.cmdDelayMs);
    s.WriteDataIni(program + "\n");
    std::string content;
    for (int k = 0; k < options.layouts; ++k) content += k == 0 ? "Model\r\n" : "Layout" + std::to_string(k) + "\r\n";
    std::vector<std::string> drawings;
    for (int i = 1; i <= options.drawings; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "図面/dwg%02d.dwg", i);
        drawings.push_back(s.MakeFile(name, content));
    }
    const StandInLog log(s.RunFolder() + "/cad.log");
    s.Start();
    WaitSettled(s, kSettlePauseMs);

    Sample sample;
    const double inspectorBefore = InspectorCpuMs(s), procBefore = ProcCpuMs(s.MarlowenPid());
    const auto start = Clock::now();
    s.Drop("Button10", drawings);
    WaitUntil([&] { return log.Count("exit 0") == 1; }, 60000 + options.drawings * 2000,
              "the survey to quit the stand-in CAD");
    sample.wallMs = MsSince(start);
    sample.inspectorCpuMs = InspectorCpuMs(s) - inspectorBefore;
    sample.procCpuMs = ProcCpuMs(s.MarlowenPid()) - procBefore;

    Grid table = ParseGrid(s.GetControl("StringGrid1").text);
    for (int row = 1; row <= options.drawings; ++row)
        if (table.Cell(1, row) != std::to_string(options.layouts))
            throw HarnessError("row " + std::to_string(row) + " of the layout table holds '" + table.Cell(1, row) +
                               "'");
    return sample;
}

// A survey whose CAD never gets ready: the processor time of the wait itself over a fixed span.
// (A CAD that is not there at all ends the survey at once, with a message.)
Sample WaitForCadNotReady(const Screen& screen, const Options& options) {
    Session s(screen);
    s.WriteDataIni("[Program]\nFile=C:\\m\\StandInCad.exe /startdelay:" + std::to_string(options.idleMs + 20000) +
                   "\n");
    std::string drawing = s.MakeFile("a.dwg", "Model\r\n");
    s.Start();
    WaitSettled(s, kSettlePauseMs);
    s.Drop("Button10", {drawing});
    WaitUntil([&] { return !s.GetControl("Button10").enabled; }, 10000, "the survey to start");

    Sample sample;
    const double inspectorBefore = InspectorCpuMs(s), procBefore = ProcCpuMs(s.MarlowenPid());
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(options.idleMs));
    sample.wallMs = MsSince(start);
    sample.inspectorCpuMs = InspectorCpuMs(s) - inspectorBefore;
    sample.procCpuMs = ProcCpuMs(s.MarlowenPid()) - procBefore;
    if (!s.MessageBoxes().empty()) throw HarnessError("the survey did not wait: a message box came");
    return sample;
}

void Print(const char* label, int run, const Sample& s) {
    std::printf("%-22s %3d %10.0f %12.0f %10.0f %8.2f%%\n", label, run, s.wallMs, s.inspectorCpuMs, s.procCpuMs,
                100.0 * s.procCpuMs / s.wallMs);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ReadOptions(argc, argv);
        const Locations where = Locations::FromBuild();
        MakePrefix(where);
        Screen screen;
        std::printf("survey of %d drawings with %d layouts each, stand-in /cmddelay:%d\n", options.drawings,
                    options.layouts, options.cmdDelayMs);
        std::printf("%-22s %3s %10s %12s %10s %9s\n", "case", "run", "wall ms", "cpu ms (win)", "cpu ms (/proc)",
                    "cpu/wall");
        Sample total;
        for (int run = 1; run <= options.runs; ++run) {
            Sample s = Survey(screen, options);
            Print("survey", run, s);
            total.wallMs += s.wallMs;
            total.inspectorCpuMs += s.inspectorCpuMs;
            total.procCpuMs += s.procCpuMs;
        }
        total.wallMs /= options.runs;
        total.inspectorCpuMs /= options.runs;
        total.procCpuMs /= options.runs;
        Print("survey (mean)", 0, total);
        Print("waiting for CAD's prompt", 1, WaitForCadNotReady(screen, options));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_survey_cpu: %s\n", e.what());
        return 1;
    }
}
