#include "InfoBox_win.h"

#include <string>

#include "InfoBox.h"

namespace {

// The box is placed by a CBT hook when it is first activated: before that it has no size,
// and a message box offers no other way to place it.
struct Placement {
    HHOOK hook = nullptr;
    HWND owner = nullptr;
    POINT cursor{};
    bool done = false;
};

constexpr char kCaption[] = "情報";
constexpr wchar_t kWideCaption[] = L"情報";

// A timer tick can show another box before this one; only ours is moved.
bool IsTheInfoBox(HWND window, HWND owner) {
    char className[16] = {};
    char caption[16] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    return std::string_view(className) == "#32770" && std::string_view(caption) == kCaption &&
           GetWindow(window, GW_OWNER) == owner;
}
thread_local Placement* current = nullptr;

LRESULT CALLBACK PlaceOnActivate(int code, WPARAM wp, LPARAM lp) {
    Placement* placement = current;
    HWND box = reinterpret_cast<HWND>(wp);
    if (code == HCBT_ACTIVATE && placement && !placement->done && IsTheInfoBox(box, placement->owner)) {
        placement->done = true;
        RECT rc{};
        if (GetWindowRect(box, &rc)) {
            const BoxOrigin origin = PlaceNearCursor(placement->cursor.x, placement->cursor.y, {rc.left, rc.top});
            SetWindowPos(box, nullptr, origin.left, origin.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return CallNextHookEx(placement ? placement->hook : nullptr, code, wp, lp);
}

// Everything that can throw is done before the hook goes in: an error after it would leave
// the hook installed, pointing at a placement that is gone.
template <class Show>
void ShowPlaced(HWND owner, Show show) {
    Placement placement;
    placement.owner = owner;
    GetCursorPos(&placement.cursor);
    placement.hook = SetWindowsHookExA(WH_CBT, PlaceOnActivate, nullptr, GetCurrentThreadId());
    Placement* outer = current;
    current = &placement;
    show();
    current = outer;
    if (placement.hook) UnhookWindowsHookEx(placement.hook);
}

}  // namespace

void ShowInfoBox(HWND owner, std::string_view text) {
    const std::string zeroEnded(text);
    ShowPlaced(owner, [&]() noexcept { MessageBoxA(owner, zeroEnded.c_str(), kCaption, MB_ICONINFORMATION | MB_OK); });
}

void ShowInfoBox(HWND owner, std::wstring_view text) {
    const std::wstring zeroEnded(text);
    ShowPlaced(owner,
               [&]() noexcept { MessageBoxW(owner, zeroEnded.c_str(), kWideCaption, MB_ICONINFORMATION | MB_OK); });
}
