// Many items going into controls in one handler: while this lives, the controls neither
// repaint nor update their scroll bars per item; when it ends they do so once. Under Wine
// every repaint is a round trip to the X server, milliseconds per item.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

class RedrawSuspended {
public:
    explicit RedrawSuspended(std::initializer_list<HWND> controls);
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;
    ~RedrawSuspended();

private:
    std::vector<HWND> controls_;
};
