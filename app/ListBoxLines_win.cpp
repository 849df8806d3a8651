#include "ListBoxLines_win.h"

#include <utility>

#include "RedrawSuspended_win.h"

void ListBoxLines::Clear() {
    // The start-up watcher empties three lists on every tick; most ticks find them empty.
    if (lines_.empty()) return;
    lines_.clear();
    const RedrawSuspended quiet({hwnd_});
    SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
}

void ListBoxLines::Add(const std::string& line) {
    lines_.push_back(line);
    SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void ListBoxLines::Reserve(std::size_t items) {
    lines_.reserve(lines_.size() + items);
    SendMessageA(hwnd_, LB_INITSTORAGE, items, 0);
}

void ListBoxLines::Assign(LineList lines) {
    // Each drop empties the loop-body list, which mostly was and stays empty.
    if (lines.empty() && lines_.empty()) return;
    lines_ = std::move(lines);
    // A template may hold thousands of lines; one repaint at the end is enough.
    const RedrawSuspended quiet({hwnd_});
    SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
    SendMessageA(hwnd_, LB_INITSTORAGE, lines_.size(), 0);
    for (const std::string& line : lines_) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}
