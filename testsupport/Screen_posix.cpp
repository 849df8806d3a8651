#include "Screen_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "testsupport/Wait.h"

namespace e2e {
namespace {

// Another test program may hold every fitting screen for a whole case.
constexpr int kScreenWaitMs = 600000;
constexpr int kScreenPauseMs = 100;

}  // namespace

Screen::Screen(const std::string& size) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) throw HarnessError("no DISPLAY: run under tools/wine-env.sh");
    const char* screens = std::getenv("MARLOWEN_SCREENS");
    if (!screens) {
        // A display of the caller's own: its one screen is the caller's to share out.
        display_ = display;
        return;
    }
    std::string server = display;
    if (size_t dot = server.find('.', server.find(':')); dot != std::string::npos) server.resize(dot);
    int width = 0, height = 0;
    if (std::sscanf(size.c_str(), "%dx%d", &width, &height) != 2) throw HarnessError("not a screen size: " + size);
    // The smallest screens that fit first, so that a large one stays free for the case that needs it.
    std::vector<std::pair<long, int>> fitting;
    const std::string list = screens;  // "WxH WxH ...", screen 0 first
    for (size_t start = 0, index = 0;; ++index) {
        const size_t blank = list.find(' ', start);
        int w = 0, h = 0;
        if (std::sscanf(list.substr(start, blank - start).c_str(), "%dx%d", &w, &h) == 2 && w >= width && h >= height)
            fitting.emplace_back(static_cast<long>(w) * h, static_cast<int>(index));
        if (blank == std::string::npos) break;
        start = blank + 1;
    }
    if (fitting.empty()) throw HarnessError("no screen of " + std::string(display) + " is " + size + " or larger");
    std::stable_sort(fitting.begin(), fitting.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto lockOne = [&] {
        for (const auto& [area, n] : fitting) {
            std::string name = server + "." + std::to_string(n);
            std::string lockPath =
                (std::filesystem::temp_directory_path() / ("marlowen-screen" + name + ".lock")).string();
            int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            if (fd < 0) throw HarnessError("cannot open " + lockPath);
            if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
                lock_ = fd;
                display_ = name;
                return true;
            }
            close(fd);
        }
        return false;
    };
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(kScreenPauseMs)); };
    if (!PollUntil(lockOne, kScreenWaitMs, pause))
        throw HarnessError("every screen of " + server + " of " + size + " stayed taken");
}

Screen::~Screen() {
    if (lock_ >= 0) close(lock_);
}

}  // namespace e2e
