#include "OpenDialog_win.h"

#include <commdlg.h>

#include <vector>

namespace {
// Room for a long path; a longer choice fails like a cancel.
constexpr DWORD kPathBufferSize = 4096;
}  // namespace

std::optional<std::string> OpenDialog::Execute(HWND owner) {
    std::vector<char> path(kPathBufferSize, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kPathBufferSize;
    ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn)) return std::nullopt;
    return std::string(path.data());
}
