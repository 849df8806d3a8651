#include "MessageLoop_win.h"

void DispatchAppMessage(HWND dialog, MSG& msg) {
    if (dialog && IsDialogMessageA(dialog, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool ProcessPendingMessages(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchAppMessage(dialog, msg);
    }
    return true;
}

void RunMessageLoop(HWND dialog) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchAppMessage(dialog, msg);
}
