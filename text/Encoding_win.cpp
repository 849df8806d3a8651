#include <windows.h>

#include "Encoding.h"
#include "Encoding_win.h"

namespace {

constexpr unsigned kShiftJis = 932;

void Report(bool* lost, bool value) {
    if (lost) *lost = value;
}

std::wstring Wide(std::u16string_view units) { return std::wstring(units.begin(), units.end()); }
std::u16string Units(std::wstring_view wide) { return std::u16string(wide.begin(), wide.end()); }

}  // namespace

std::wstring WideFromCodePage(std::string_view bytes, unsigned codePage, bool* lost) {
    Report(lost, false);
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    DWORD flags = MB_ERR_INVALID_CHARS;
    int units = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (units <= 0) {
        Report(lost, true);
        flags = 0;
        units = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    }
    if (units <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), units);
    return wide;
}

std::string CodePageFromWide(std::wstring_view wide, unsigned codePage, bool* lost, LookAlikes lookAlikes) {
    Report(lost, false);
    if (wide.empty()) return {};
    const int units = static_cast<int>(wide.size());
    // UTF-8 has every character and takes neither flag; elsewhere a look-alike would be taken
    // silently without WC_NO_BEST_FIT_CHARS.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 || lookAlikes == LookAlikes::Taken ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(codePage, flags, wide.data(), units, nullptr, 0, nullptr, used);
    if (size <= 0) {
        Report(lost, true);
        return {};
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), units, bytes.data(), size, nullptr, used);
    Report(lost, usedDefault != FALSE);
    return bytes;
}

std::string Utf8FromShiftJis(std::string_view sjis, bool* lost) {
    return CodePageFromWide(WideFromCodePage(sjis, kShiftJis, lost), CP_UTF8);
}

std::string ShiftJisFromUtf8(std::string_view utf8, bool* lost) {
    bool lostReading = false;
    const std::string sjis = CodePageFromWide(WideFromCodePage(utf8, CP_UTF8, &lostReading), kShiftJis, lost);
    if (lostReading) Report(lost, true);
    return sjis;
}

std::u16string Utf16FromShiftJis(std::string_view sjis, bool* lost) {
    return Units(WideFromCodePage(sjis, kShiftJis, lost));
}

std::string ShiftJisFromUtf16(std::u16string_view utf16, bool* lost) {
    return CodePageFromWide(Wide(utf16), kShiftJis, lost);
}
