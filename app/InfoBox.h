// The program's own refusals: a modal information box, caption "情報", one OK button, placed
// near the mouse cursor (BoxPlacement.h). Returns when the user has closed it.
#pragma once

#include <windows.h>

#include <string_view>

void ShowInfoBox(HWND owner, std::string_view text);
