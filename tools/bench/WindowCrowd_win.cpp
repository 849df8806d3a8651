// bench_window_crowd COUNT READY RELEASE: COUNT visible top-level windows of another program,
// for the history benchmark. Sets the named event READY once they are all there and ends
// when the named event RELEASE is set (at the latest after ten minutes). The windows go with
// the process: destroying them one by one costs seconds each under Wine without a window
// manager. Exit code 0; 1 on wrong arguments or when a window cannot be made.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "testsupport/UniqueHandle_win.h"
#include "testsupport/Wait_win.h"

namespace {

constexpr DWORD kLongestStayMs = 600000;
const char kCrowdClass[] = "MarlowenBenchCrowd";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 1;
    const long count = std::strtol(argv[1], nullptr, 10);
    const UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]));
    const UniqueHandle release(OpenEventA(SYNCHRONIZE, FALSE, argv[3]));
    if (count < 0 || !ready || !release) return 1;

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = kCrowdClass;
    RegisterClassA(&wc);
    for (long i = 0; i < count; ++i) {
        const std::string title = "Crowd window " + std::to_string(i + 1);
        const int x = static_cast<int>(i % 25) * 16;
        const int y = static_cast<int>(i / 25 % 20) * 16;
        if (!CreateWindowExA(0, kCrowdClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 160, 90, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr)) {
            return 1;
        }
    }
    SetEvent(ready.get());
    WaitAnswering({release.get()}, kLongestStayMs);
    return 0;
}
