#include "Wait_win.h"

#include "Wait.h"

namespace {

constexpr DWORD kPollPauseMs = 30;

}  // namespace

DWORD WaitAnswering(const std::vector<HANDLE>& handles, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < end ? static_cast<DWORD>(end - now) : 0;
        const DWORD result =
            MsgWaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, left, QS_ALLINPUT);
        if (result != WAIT_OBJECT_0 + handles.size()) return result;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    return PollUntil(condition, timeoutMs, [] { WaitAnswering({}, kPollPauseMs); });
}
