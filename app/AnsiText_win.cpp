#include <windows.h>

#include <algorithm>

#include "AnsiText_win.h"

std::string ToAnsi(const std::wstring& wide, bool& lost) {
    lost = false;
    if (wide.empty()) return {};
    const int units = static_cast<int>(wide.size());
    // Without WC_NO_BEST_FIT_CHARS a look-alike would be taken silently.
    BOOL usedDefault = FALSE;
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0, nullptr, &usedDefault);
    std::string ansi(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, ansi.data(), size, nullptr, &usedDefault);
    lost = size <= 0 || usedDefault;
    return ansi;
}

std::wstring FromAnsi(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(units, 0)), L'\0');
    if (units > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), units);
    return wide;
}
