#include "Wait.h"

#include <chrono>

bool PollUntil(const std::function<bool()>& done, long long timeoutMs, const std::function<void()>& pause) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        pause();
    }
    return done();
}
