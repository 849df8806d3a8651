#include "Desktop_win.h"

#include <algorithm>

namespace {

BOOL CALLBACK Collect(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::vector<HWND> found;
    for (HWND w : TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId) found.push_back(w);
    }
    return found;
}

int WalkPosition(HWND w) {
    const std::vector<HWND> windows = TopLevelWindows();
    const auto it = std::find(windows.begin(), windows.end(), w);
    return it == windows.end() ? -1 : static_cast<int>(it - windows.begin());
}

HWND TopLevelWindowOf(DWORD processId, const char* className) {
    for (HWND w : TopLevelWindowsOf(processId)) {
        if (WindowClass(w) == className) return w;
    }
    return nullptr;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND DescendantTitled(HWND parent, const std::string& title) {
    for (HWND child : Descendants(parent)) {
        if (WindowTitle(child) == title) return child;
    }
    return nullptr;
}

void RegisterWindowClass(const char* className, WNDPROC windowProc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

std::string WindowTitle(HWND w) {
    char buffer[1024] = {};
    GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

std::string WindowClass(HWND w) {
    char buffer[256] = {};
    GetClassNameA(w, buffer, sizeof buffer);
    return buffer;
}
