#include "RedrawSuspended_win.h"

RedrawSuspended::RedrawSuspended(std::initializer_list<HWND> controls) : controls_(controls) {
    for (HWND control : controls_) SendMessageA(control, WM_SETREDRAW, FALSE, 0);
}

RedrawSuspended::~RedrawSuspended() {
    for (HWND control : controls_) {
        SendMessageA(control, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control, nullptr, TRUE);
    }
}
