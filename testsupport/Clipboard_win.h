// The clipboard as seen from outside the CAD link: put and read text, and another program
// that holds it open.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ChildProcess_win.h"

// Puts text as CF_TEXT with owner as the clipboard's owner; false when the clipboard could
// not be opened (bounded wait) or the text not set.
bool PutClipboardText(const std::string& text, HWND owner = nullptr);
// "" when there is none or the clipboard cannot be opened (bounded wait).
std::string ClipboardTextNow();
// The same, and the clipboard is emptied, as the CAD link leaves it after a history read.
std::string TakeClipboardText();

// ClipboardHolder.exe, another process that keeps the clipboard open until released.
class ClipboardHeldElsewhere {
public:
    ClipboardHeldElsewhere();
    ~ClipboardHeldElsewhere();
    ClipboardHeldElsewhere(const ClipboardHeldElsewhere&) = delete;
    ClipboardHeldElsewhere& operator=(const ClipboardHeldElsewhere&) = delete;

    // True once the helper has the clipboard open (bounded wait).
    bool Held() const { return held_; }
    // Lets go of the clipboard; true when the helper ended normally.
    bool Release();

private:
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    std::optional<ChildProcess> process_;  // started once the events are there
    bool held_ = false;
};
