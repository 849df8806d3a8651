// A list box whose items are kept in a LineList, the model that the rules take, and mirrored
// into the list box window.
#pragma once

#include <windows.h>

#include <string>

#include "Tables.h"

class ListBoxLines {
public:
    void Attach(HWND listBox) { hwnd_ = listBox; }
    HWND Handle() const { return hwnd_; }

    const LineList& Lines() const { return lines_; }
    void Clear();
    // One item; many of them go in under a RedrawSuspended.
    void Add(const std::string& line);
    void Assign(LineList lines);

private:
    HWND hwnd_ = nullptr;
    LineList lines_;
};
