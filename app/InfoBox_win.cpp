#include "InfoBox.h"

#include <string>

#include "BoxPlacement.h"

namespace {

// The box is placed by a CBT hook when it is first activated: before that it has no size,
// and MessageBoxA offers no other way to place it.
struct Placement {
    HHOOK hook = nullptr;
    POINT cursor{};
    bool done = false;
};
thread_local Placement* current = nullptr;

LRESULT CALLBACK PlaceOnActivate(int code, WPARAM wp, LPARAM lp) {
    Placement* placement = current;
    if (code == HCBT_ACTIVATE && placement && !placement->done) {
        placement->done = true;
        HWND box = reinterpret_cast<HWND>(wp);
        RECT rc{};
        if (GetWindowRect(box, &rc)) {
            const BoxOrigin origin = PlaceNearCursor(placement->cursor.x, placement->cursor.y, {rc.left, rc.top});
            SetWindowPos(box, nullptr, origin.left, origin.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return CallNextHookEx(placement ? placement->hook : nullptr, code, wp, lp);
}

} // namespace

void ShowInfoBox(HWND owner, std::string_view text) {
    Placement placement;
    GetCursorPos(&placement.cursor);
    placement.hook = SetWindowsHookExA(WH_CBT, PlaceOnActivate, nullptr, GetCurrentThreadId());
    Placement* outer = current;
    current = &placement;
    MessageBoxA(owner, std::string(text).c_str(), "情報", MB_ICONINFORMATION | MB_OK);
    current = outer;
    if (placement.hook) UnhookWindowsHookEx(placement.hook);
}
