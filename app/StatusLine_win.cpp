#include "StatusLine_win.h"

#include <vector>

void StatusLine::Show(const std::string& text) {
    if (text == shown_) return;
    if (shown_.empty()) {
        // The label's own text and size, put back when the line is emptied.
        const int length = GetWindowTextLengthA(label_);
        std::vector<char> own(static_cast<std::size_t>(length) + 1, '\0');
        GetWindowTextA(label_, own.data(), length + 1);
        labelText_ = own.data();
        RECT rc{};
        GetWindowRect(label_, &rc);
        labelSize_ = {rc.right - rc.left, rc.bottom - rc.top};
        // As wide as the client area, the same margin on the right as on the left.
        RECT client{};
        GetClientRect(form_, &client);
        POINT origin{rc.left, rc.top};
        ScreenToClient(form_, &origin);
        SetWindowLongPtrA(label_, GWL_STYLE, GetWindowLongPtrA(label_, GWL_STYLE) | SS_ENDELLIPSIS);
        SetWindowPos(label_, nullptr, 0, 0, client.right - 2 * origin.x, labelSize_.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    shown_ = text;
    if (text.empty()) {
        SetWindowLongPtrA(label_, GWL_STYLE, GetWindowLongPtrA(label_, GWL_STYLE) & ~SS_ENDELLIPSIS);
        SetWindowTextA(label_, labelText_.c_str());
        SetWindowPos(label_, nullptr, 0, 0, labelSize_.cx, labelSize_.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowTextA(form_, title_);
        return;
    }
    SetWindowTextA(label_, text.c_str());
    SetWindowTextA(form_, (text + " - " + title_).c_str());
}
