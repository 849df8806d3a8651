// bench_drop_floor: the least a program can do with a drop, the floor that Marlowen's drop is
// measured against. A bare window that takes dropped files, reads every path with
// DragQueryFileA into memory and writes the prepared script bytes to test.scr in its current
// folder with one WriteFile; it touches no control.
//
//   bench_drop_floor.exe BYTES-FILE     the bytes to write, read once at start-up
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/ScriptFile.h"
#include "app/WindowClass_win.h"
#include "app/WindowSizes.h"

namespace {

constexpr char kTitle[] = "DropFloor";

std::string g_script;

std::string ReadAll(const char* path) {
    std::string bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void TakeDrop(HDROP drop) {
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> paths;
    paths.reserve(count);
    char path[MAX_PATH + 1];
    for (UINT i = 0; i < count; ++i) {
        path[0] = '\0';
        DragQueryFileA(drop, i, path, sizeof path);
        path[MAX_PATH] = '\0';
        paths.emplace_back(path);
    }
    HANDLE file = CreateFileA(kScriptFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, g_script.data(), static_cast<DWORD>(g_script.size()), &written, nullptr);
        CloseHandle(file);
    }
    DragFinish(drop);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // clang-format off
    switch (msg) {
    case WM_DROPFILES: TakeDrop(reinterpret_cast<HDROP>(wp)); return 0;
    case WM_DESTROY:   PostQuitMessage(0); return 0;
    }
    // clang-format on
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    g_script = ReadAll(commandLine);
    RegisterWindowClass(instance, kTitle, WindowProc, COLOR_BTNFACE);
    // Marlowen's own size at start-up, unscaled.
    const OuterSizes outer = OuterSizesForDpi(kDesignDpi);
    HWND hwnd = CreateWindowExA(0, kTitle, kTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, outer.width,
                                outer.compactHeight, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    DragAcceptFiles(hwnd, TRUE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
