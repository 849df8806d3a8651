// bench_history_win [/iterations:N] [/windows:N]: what one GetLastHistoryLine costs against a
// running StandInCad.exe, first with no other program's windows on the desktop, then with N
// (default 500) top-level windows of another program (bench_window_crowd) lying above CAD's
// windows, so that both walks of every window search pass them. Each side makes N (default
// 200) timed calls; printed are the mean, median and minimum per call, the ratio of the means,
// and the same for the window search alone. Then the read that keeps the user's clipboard, with
// 1 MB of text on it, against the read that only empties it (as the program read before) in the
// same run, and their ratio. Last, the read of a history of 400 lines, typed into CAD first,
// against the read of the short history at its start-up prompt, and their ratio. Exit code 0;
// 1 when a read did not give the last line, the user's text did not survive, the crowd did not
// lie above CAD's windows or the history did not grow to 400 lines; 2 when a program could not
// be started.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cadlink/Acad8Ctrl.h"
#include "cadlink/Clipboard_win.h"
#include "cadlink/WindowSystem_win.h"
#include "testsupport/ChildProcess_win.h"
#include "testsupport/Clipboard_win.h"
#include "testsupport/Desktop_win.h"
#include "testsupport/StandInProcess_win.h"
#include "testsupport/UniqueHandle_win.h"
#include "testsupport/Wait_win.h"
#include "testsupport/StandInContract.h"

namespace {

const char kPrompt[] = "コマンド: COMMANDLINE";
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitWaitMs = 5000;
constexpr DWORD kSettleMs = 1000;
constexpr int kWarmUpCalls = 5;
constexpr int kLongHistoryLines = 400;
constexpr int kFillRounds = 5;
constexpr DWORD kFillWaitMs = 10000;
// Typed after the long history's lines, so that seeing it last tells that CAD took them all.
const char kLongHistoryEnd[] = "コマンド: commandline";

struct Settings {
    int iterations = 200;
    int windows = 500;
};

Settings ParseSettings(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("/iterations:")) settings.iterations = std::max(1, std::atoi(arg.c_str() + 12));
        else if (arg.starts_with("/windows:")) settings.windows = std::max(0, std::atoi(arg.c_str() + 9));
    }
    return settings;
}

// Walk positions of the stand-in's two windows in EnumWindows order; -1 when not found.
struct WalkPositions {
    int main = -1;
    int text = -1;
};

WalkPositions FindInWalk(DWORD processId) {
    return {WalkPosition(TopLevelWindowOf(processId, standin::kMainClass)),
            WalkPosition(TopLevelWindowOf(processId, standin::kTextClass))};
}

struct Timing {
    double meanUs = 0;
    double medianUs = 0;
    double minUs = 0;  // the steadiest figure on a busy machine
    int wrongResults = 0;
};

// Times calls one by one; messages are answered between calls, outside the timed part.
Timing Time(int iterations, const std::function<bool()>& call) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < kWarmUpCalls; ++i) call();
    Timing timing;
    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(iterations));
    for (int i = 0; i < iterations; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER stop;
        QueryPerformanceCounter(&start);
        const bool right = call();
        QueryPerformanceCounter(&stop);
        us.push_back(static_cast<double>(stop.QuadPart - start.QuadPart) * 1e6 /
                     static_cast<double>(frequency.QuadPart));
        if (!right) ++timing.wrongResults;
        WaitAnswering({}, 0);
    }
    for (double value : us) timing.meanUs += value;
    timing.meanUs /= static_cast<double>(us.size());
    std::sort(us.begin(), us.end());
    timing.medianUs = us[us.size() / 2];
    timing.minUs = us.front();
    return timing;
}

// One history read as the run supervision makes it: the last line of what CAD copied.
std::string LastLine(Acad8Ctrl& ctrl) { return LastHistoryLine(ctrl.ReadHistory(ctrl.FindCadWindows()).text); }

struct Side {
    Timing history;
    Timing search;
    WalkPositions positions;
};

Side Measure(Acad8Ctrl& ctrl, DWORD standInId, int iterations) {
    Side side;
    side.positions = FindInWalk(standInId);
    side.history = Time(iterations, [&] { return LastLine(ctrl) == kPrompt; });
    side.search = Time(iterations, [&] { return ctrl.FindAcadWindows(); });
    return side;
}

// The history read that empties the clipboard after it, as the program read before it kept
// the user's content: the peer of the read that keeps it.
bool EmptyingRead(Acad8Ctrl& ctrl, WindowSystem& ws, Clipboard& clipboard) {
    if (!ctrl.FindAcadWindows()) return false;
    ws.SendCommand(ctrl.AcadTextWnd, standin::kCopyHistoryCommand);
    if (!clipboard.Open()) return false;
    const std::string history = clipboard.Text().value_or(std::string());
    clipboard.Close();
    if (!clipboard.Open()) return false;
    clipboard.Put(std::make_shared<const ClipboardContent>());
    clipboard.Close();
    return LastHistoryLine(history) == kPrompt;
}

struct ClipboardSide {
    Timing emptying;
    Timing keeping;
    bool kept = false;
};

ClipboardSide MeasureClipboard(Acad8Ctrl& ctrl, WindowSystem& ws, Clipboard& clipboard, int iterations) {
    ClipboardSide side;
    side.emptying = Time(iterations, [&] { return EmptyingRead(ctrl, ws, clipboard); });
    const std::string usersText(1 << 20, 'x');
    if (!PutClipboardText(usersText)) return side;
    side.keeping = Time(iterations, [&] { return LastLine(ctrl) == kPrompt; });
    side.kept = ClipboardTextNow() == usersText;
    return side;
}

int HistoryLines(Acad8Ctrl& ctrl) {
    const std::string history = ctrl.ReadHistory(ctrl.FindCadWindows()).text;
    int lines = 0;
    for (std::size_t at = 0; (at = history.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    return lines;
}

// Types lines until the history holds kLongHistoryLines, each round ended by one that tells
// when CAD has taken the round; true once it holds them. Under Wine a typed text that CAD has
// not taken when the send gives up is dropped, which a loaded machine sees now and then.
bool FillHistory(Acad8Ctrl& ctrl) {
    for (int round = 0; round < kFillRounds; ++round) {
        const int missing = kLongHistoryLines - HistoryLines(ctrl);
        if (missing <= 0) return true;
        for (int i = 0; i < missing; ++i)
            if (!ctrl.SendAcadCommand("COMMANDLINE\r", false)) return false;
        if (!ctrl.SendAcadCommand("commandline\r", false)) return false;
        // An end line that was dropped itself leaves the wait to give up; the next round types again.
        WaitFor([&] { return LastLine(ctrl) == kLongHistoryEnd; }, kFillWaitMs);
    }
    return HistoryLines(ctrl) >= kLongHistoryLines;
}

// bench_window_crowd and its two events; released, and ended when it does not end by itself,
// when this goes, whichever way the benchmark leaves.
class Crowd {
public:
    explicit Crowd(int windows) {
        const std::string suffix = UniqueSuffix();
        const std::string readyName = "MarlowenCrowdReady-" + suffix;
        const std::string releaseName = "MarlowenCrowdRelease-" + suffix;
        ready_.reset(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
        release_.reset(CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
        process_.emplace(Quoted(WindowsPath(CROWD_EXE)) + " " + std::to_string(windows) + " " + readyName + " " +
                         releaseName);
    }
    // Released, the crowd ends by itself and its windows go with it.
    ~Crowd() {
        SetEvent(release_.get());
        process_->WaitExit(kExitWaitMs);
    }
    Crowd(const Crowd&) = delete;
    Crowd& operator=(const Crowd&) = delete;

    // True once all its windows are there; false when it could not be started or ended first.
    bool WaitReady() const {
        return ready_ && release_ && process_->Started() &&
               WaitAnswering({ready_.get(), process_->Handle()}, kStartTimeoutMs) == WAIT_OBJECT_0;
    }
    HANDLE Process() const { return process_->Handle(); }

private:
    UniqueHandle ready_;
    UniqueHandle release_;
    std::optional<ChildProcess> process_;  // ended before the events are closed
};

void PrintRow(const char* label, int otherWindows, const Timing& timing, const WalkPositions& positions) {
    std::printf("  %-20s %6d   %5d / %5d   %10.1f %10.1f %10.1f\n", label, otherWindows, positions.main, positions.text,
                timing.meanUs, timing.medianUs, timing.minUs);
}

void PrintRatios(const char* label, const Timing& over, const Timing& under) {
    std::printf("  ratio (%s) of the means %.2f, of the medians %.2f, of the minima %.2f\n", label,
                over.meanUs / under.meanUs, over.medianUs / under.medianUs, over.minUs / under.minUs);
}

int Bench(int argc, char** argv) {
    const Settings settings = ParseSettings(argc, argv);

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    SetCurrentDirectoryA(temp);
    ChildProcess standIn(Quoted(WindowsPath(STANDIN_EXE)));
    if (!standIn.Started()) {
        std::fprintf(stderr, "StandInCad.exe could not be started\n");
        return 2;
    }
    Win32WindowSystem ws;
    Win32Clipboard board;
    Acad8Ctrl ctrl(ws, board);
    if (!WaitFor([&] { return LastLine(ctrl) == kPrompt; }, kStartTimeoutMs)) {
        std::fprintf(stderr, "StandInCad.exe showed no prompt\n");
        return 2;
    }
    const int shortLines = HistoryLines(ctrl);
    const Side alone = Measure(ctrl, standIn.Id(), settings.iterations);
    const ClipboardSide clipboard = MeasureClipboard(ctrl, ws, board, settings.iterations);

    Side crowded;
    {
        Crowd crowd(settings.windows);
        if (!crowd.WaitReady()) {
            std::fprintf(stderr, "bench_window_crowd did not make its windows\n");
            return 2;
        }
        // The desktop first finishes showing the crowd.
        WaitForInputIdle(crowd.Process(), kStartTimeoutMs);
        WaitAnswering({}, kSettleMs);
        crowded = Measure(ctrl, standIn.Id(), settings.iterations);
    }
    const int longLines = FillHistory(ctrl) ? HistoryLines(ctrl) : 0;
    const Timing longHistory = Time(settings.iterations, [&] { return LastLine(ctrl) == kLongHistoryEnd; });
    standIn.Stop();

    std::printf("GetLastHistoryLine against StandInCad.exe, %d timed calls per row (microseconds)\n",
                settings.iterations);
    std::printf("  %-20s %6s   %13s   %10s %10s %10s\n", "", "others", "main / text", "mean", "median", "min");
    PrintRow("GetLastHistoryLine", 0, alone.history, alone.positions);
    PrintRow("GetLastHistoryLine", settings.windows, crowded.history, crowded.positions);
    PrintRow("FindAcadWindows", 0, alone.search, alone.positions);
    PrintRow("FindAcadWindows", settings.windows, crowded.search, crowded.positions);
    std::printf("  ratio of the means (%d / 0): GetLastHistoryLine %.2f, FindAcadWindows %.2f\n", settings.windows,
                crowded.history.meanUs / alone.history.meanUs, crowded.search.meanUs / alone.search.meanUs);
    std::printf("  (main / text: positions of CAD's windows in the EnumWindows walk)\n");
    std::printf("The read that keeps 1 MB of the user's text on the clipboard against the one that empties it\n");
    std::printf("  %-20s %6s   %13s   %10s %10s %10s\n", "", "", "", "mean", "median", "min");
    PrintRow("emptying read", 0, clipboard.emptying, alone.positions);
    PrintRow("keeping read", 0, clipboard.keeping, alone.positions);
    PrintRatios("keeping / emptying", clipboard.keeping, clipboard.emptying);
    std::printf("The read of a long history against the short one at the start-up prompt\n");
    std::printf("  %-20s %6s   %13s   %10s %10s %10s\n", "", "lines", "", "mean", "median", "min");
    PrintRow("short history", shortLines, alone.history, alone.positions);
    PrintRow("long history", longLines, longHistory, alone.positions);
    PrintRatios("long / short", longHistory, alone.history);

    const int wrong = alone.history.wrongResults + crowded.history.wrongResults + alone.search.wrongResults +
                      crowded.search.wrongResults + clipboard.emptying.wrongResults + clipboard.keeping.wrongResults +
                      longHistory.wrongResults;
    bool passed = true;
    if (wrong > 0) {
        std::printf("FAILED: %d calls did not find CAD or did not give the last line\n", wrong);
        passed = false;
    }
    if (longLines < kLongHistoryLines) {
        std::printf("FAILED: CAD's history held %d lines, not %d\n", longLines, kLongHistoryLines);
        passed = false;
    }
    if (!clipboard.kept) {
        std::printf("FAILED: the user's text was not on the clipboard after the reads\n");
        passed = false;
    }
    if (crowded.positions.main < alone.positions.main + settings.windows) {
        std::printf("FAILED: the crowd's windows do not all lie above CAD's main window in the walk\n");
        passed = false;
    }
    return passed ? 0 : 1;
}

}  // namespace

// Caught here, so that an exception too unwinds through the owners of the programs started.
int main(int argc, char** argv) {
    try {
        return Bench(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_history_win: %s\n", e.what());
        return 2;
    }
}
