// Waits of the Windows tests and benchmarks that keep answering this thread's messages.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Waits for one of the handles, or only for the time when there are none, while handling
// this thread's messages: after every history read the clipboard's owner is a window of
// this thread, and under Wine another program's OpenClipboard sends the owner a message and
// waits up to 5 s for the answer. The result as MsgWaitForMultipleObjects gives it.
DWORD WaitAnswering(const std::vector<HANDLE>& handles, DWORD timeoutMs);

// Polls until condition holds or timeoutMs has passed, answering messages in between; the
// last answer counts.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 15000);
