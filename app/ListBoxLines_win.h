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
    // One item; many of them go in under a RedrawSuspended, after a Reserve.
    void Add(const std::string& line);
    // Room for that many more items: the list box then grows its storage once, not every few
    // items (which copies all it holds each time).
    void Reserve(std::size_t items);
    void Assign(LineList lines);

private:
    HWND hwnd_ = nullptr;
    LineList lines_;
};
