// One polling loop for tests and test tools: each side passes its own pause, a plain sleep
// or one that keeps answering the thread's messages.
#pragma once

#include <functional>

// Asks done until it holds or timeoutMs has passed, calling pause between the asks; the ask
// after the deadline still counts.
bool PollUntil(const std::function<bool()>& done, long long timeoutMs, const std::function<void()>& pause);
