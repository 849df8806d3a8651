#include "FakeDesktop.h"

#include <windows.h>

#include <vector>

std::u16string Utf16FromCp932(std::string_view text) {
    if (text.empty()) return {};
    const int room = static_cast<int>(text.size());
    std::vector<wchar_t> units(text.size());
    const int produced = MultiByteToWideChar(932, 0, text.data(), room, units.data(), room);
    return std::u16string(units.begin(), units.begin() + (produced > 0 ? produced : 0));
}
