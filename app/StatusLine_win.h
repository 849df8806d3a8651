// The one line above the path box that says what a run waits for and how it ended, and the
// window's title, which carries the same words for the taskbar: shown in the row of the path
// box's label, which it stands in for meanwhile, as wide as the window; ended with an ellipsis
// where it is longer. The empty text puts the label and the title back.
#pragma once

#include <windows.h>

#include <string>

class StatusLine {
public:
    void Attach(HWND form, HWND label, const char* title) {
        form_ = form;
        label_ = label;
        title_ = title;
    }
    // Shift-JIS text; nothing is redrawn when it is the text shown already.
    void Show(const std::string& text);
    const std::string& Text() const { return shown_; }

private:
    HWND form_ = nullptr;
    HWND label_ = nullptr;
    const char* title_ = "";
    std::string shown_;
    std::string labelText_;
    SIZE labelSize_{};
};
