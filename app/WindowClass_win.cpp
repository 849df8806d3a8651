#include "WindowClass_win.h"

void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, int backgroundColor, UINT style) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColor + 1));
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}
