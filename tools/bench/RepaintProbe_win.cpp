// bench_repaint_probe CLASS [/pid:N] [/for:MS]: how long another program's top-level window
// takes to repaint. Every 20 ms it invalidates the window's client area from outside and
// times until the update region is empty again. Only the window's own thread empties it, in
// its WM_PAINT, so a thread that pumps no messages shows as a long wait; one blocked in a
// SendMessage to another program still answers messages sent to it, which is why an answered
// message proves nothing and a repaint does.
//
// The window is found by its class (and its process, when given), never by its title, which
// changes while a program works; the probe waits up to 30 s for it. It probes for MS, or
// without /for until its standard input closes; a window that goes away ends it too. Once the
// window is found it prints "probing", and at its end one line, times in ms:
//   samples=N max=MS median=MS p99=MS over100=N
// A wait still open at the end counts with the time it has lasted. Exit code 0; 2 when no
// such window showed.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kPeriodMs = 20;
constexpr DWORD kFindTimeoutMs = 30000;
constexpr double kLongWaitMs = 100;

struct Settings {
    std::string windowClass;
    DWORD processId = 0;
    DWORD forMs = 0;  // 0: until standard input closes
};

Settings ParseSettings(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("/pid:"))
            settings.processId = static_cast<DWORD>(std::strtoul(arg.c_str() + 5, nullptr, 10));
        else if (arg.starts_with("/for:"))
            settings.forMs = static_cast<DWORD>(std::strtoul(arg.c_str() + 5, nullptr, 10));
        else settings.windowClass = arg;
    }
    return settings;
}

HWND FindTarget(const Settings& settings) {
    for (HWND hwnd = nullptr; (hwnd = FindWindowExA(nullptr, hwnd, settings.windowClass.c_str(), nullptr));) {
        DWORD processId = 0;
        GetWindowThreadProcessId(hwnd, &processId);
        if (settings.processId == 0 || processId == settings.processId) return hwnd;
    }
    return nullptr;
}

volatile LONG g_inputClosed = 0;

DWORD WINAPI WatchInput(void*) {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    InterlockedExchange(&g_inputClosed, 1);
    return 0;
}

class Stopwatch {
public:
    Stopwatch() {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        ticksPerMs_ = static_cast<double>(frequency.QuadPart) / 1000.0;
        start_ = Now();
    }
    double Ms() const { return static_cast<double>(Now() - start_) / ticksPerMs_; }

private:
    static LONGLONG Now() {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }
    double ticksPerMs_ = 1;
    LONGLONG start_ = 0;
};

// Nearest rank: the smallest wait that at least that share of the samples does not exceed.
double Percentile(const std::vector<double>& sorted, double share) {
    if (sorted.empty()) return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

void PrintFigures(std::vector<double> waits) {
    std::sort(waits.begin(), waits.end());
    const auto over = std::count_if(waits.begin(), waits.end(), [](double ms) { return ms > kLongWaitMs; });
    std::printf("samples=%zu max=%.1f median=%.1f p99=%.1f over100=%lld\n", waits.size(),
                waits.empty() ? 0.0 : waits.back(), Percentile(waits, 0.5), Percentile(waits, 0.99),
                static_cast<long long>(over));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const Settings settings = ParseSettings(argc, argv);
    // Sleep(1) lasts a whole scheduler tick otherwise, 15.6 ms on Windows.
    timeBeginPeriod(1);
    HWND target = nullptr;
    const Stopwatch finding;
    while (!(target = FindTarget(settings)) && finding.Ms() < kFindTimeoutMs) Sleep(50);
    if (!target) {
        std::fprintf(stderr, "bench_repaint_probe: no window of class %s\n", settings.windowClass.c_str());
        return 2;
    }
    if (settings.forMs == 0) CloseHandle(CreateThread(nullptr, 0, WatchInput, nullptr, 0, nullptr));
    std::printf("probing\n");
    std::fflush(stdout);

    const Stopwatch probing;
    const auto over = [&] {
        return settings.forMs ? probing.Ms() >= settings.forMs : InterlockedCompareExchange(&g_inputClosed, 0, 0) != 0;
    };
    std::vector<double> waits;
    for (double next = 0; !over() && IsWindow(target); next += kPeriodMs) {
        const double now = probing.Ms();
        if (now < next) Sleep(static_cast<DWORD>(next - now));
        else next = now;
        if (!InvalidateRect(target, nullptr, FALSE)) break;
        const Stopwatch wait;
        // A window that is gone has no update region either; its last wait measured nothing.
        while (GetUpdateRect(target, nullptr, FALSE) && !over()) Sleep(1);
        if (!IsWindow(target)) break;
        waits.push_back(wait.Ms());
    }
    PrintFigures(std::move(waits));
    return 0;
}
