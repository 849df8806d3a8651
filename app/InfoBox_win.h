// The program's own refusals: a modal information box, caption "情報", one OK button, placed
// near the mouse cursor (InfoBox.h). Returns when the user has closed it.
#pragma once

#include <windows.h>

#include <string_view>

// Shift-JIS text.
void ShowInfoBox(HWND owner, std::string_view text);
// UTF-16 text, for names that the ANSI code page cannot show whole.
void ShowInfoBox(HWND owner, std::wstring_view text);
