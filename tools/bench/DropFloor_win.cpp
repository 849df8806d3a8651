// bench_drop_floor: the least a program can do with a drop, the floor that Marlowen's drop is
// measured against. A bare window that takes dropped files, reads every path with
// DragQueryFileW, puts in place of a folder the drawings under it (FindFirstFileExW, the
// shell's order by StrCmpLogicalW, subfolders first), converts every path to ANSI in memory
// and writes the prepared script bytes to test.scr in its current folder with one WriteFile;
// it touches no control.
//
//   bench_drop_floor.exe BYTES-FILE     the bytes to write, read once at start-up
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/ScriptFile.h"
#include "app/WindowClass_win.h"
#include "app/WindowSizes.h"
#include "text/Encoding_win.h"

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

std::wstring QueryPath(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, index, path.data(), length + 1));
    return path;
}

void AddDrawings(const std::wstring& folder, std::vector<std::wstring>& paths) {
    std::vector<std::wstring> subfolders, drawings;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L".." ||
            (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT)))
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subfolders.push_back(name);
        else if (name.size() >= 4 && lstrcmpiW(name.c_str() + name.size() - 4, L".dwg") == 0) drawings.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    const auto shellOrder = [](const std::wstring& a, const std::wstring& b) {
        return StrCmpLogicalW(a.c_str(), b.c_str()) < 0;
    };
    std::sort(subfolders.begin(), subfolders.end(), shellOrder);
    std::sort(drawings.begin(), drawings.end(), shellOrder);
    for (const std::wstring& sub : subfolders) AddDrawings(folder + L"\\" + sub, paths);
    for (const std::wstring& name : drawings) paths.push_back(folder + L"\\" + name);
}

void TakeDrop(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::wstring> paths;
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path = QueryPath(drop, i);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) AddDrawings(path, paths);
        else paths.push_back(std::move(path));
    }
    std::vector<std::string> ansi;
    ansi.reserve(paths.size());
    for (const std::wstring& path : paths) ansi.push_back(CodePageFromWide(path, CP_ACP));
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
