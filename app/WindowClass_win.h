// The window classes of our own controls and windows: their registration, and the object
// behind each of their windows.
#pragma once

#include <windows.h>

// A class with the arrow cursor and a system colour (COLOR_…) as its background.
void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, int backgroundColor, UINT style = 0);

// The object that created the window, from a window procedure: at WM_NCCREATE it comes as
// the creation parameter, gets its handle and is kept in GWLP_USERDATA; messages before that
// give none.
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lp, HWND T::*handle) {
    if (msg == WM_NCCREATE) {
        auto* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        object->*handle = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}
