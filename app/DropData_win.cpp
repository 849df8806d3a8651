#include "DropData_win.h"

#include <algorithm>
#include <utility>

namespace {

// Sized by the lengths the shell reports, so no read can run past the text.
std::wstring QueryPath(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = DragQueryFileW(drop, index, path.data(), length + 1);
    path.resize(std::min(copied, length));
    return path;
}

// The ANSI bytes of a UTF-16 text; lost is set when a character had no exact counterpart
// (without WC_NO_BEST_FIT_CHARS, a look-alike would be taken silently).
std::string ToAnsi(const std::wstring& wide, bool& lost) {
    lost = false;
    if (wide.empty()) return {};
    const int units = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0, nullptr, &usedDefault);
    std::string ansi(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, ansi.data(), size, nullptr, &usedDefault);
    lost = size <= 0 || usedDefault;
    return ansi;
}

std::wstring FromAnsi(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(units, 0)), L'\0');
    if (units > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), units);
    return wide;
}

}  // namespace

POINT DropData::ClientPoint() const {
    POINT point{};
    DragQueryPoint(drop_, &point);
    return point;
}

int DropData::Count() const { return static_cast<int>(DragQueryFileA(drop_, 0xFFFFFFFF, nullptr, 0)); }

void DropData::ReadPaths(int n) {
    paths_.clear();
    paths_.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        DroppedPath path;
        path.wide = QueryPath(drop_, static_cast<UINT>(i));
        bool lost = false;
        path.ansi = ToAnsi(path.wide, lost);
        path.fault = ClassifyDroppedPath(path.ansi.size(), lost);
        paths_.push_back(std::move(path));
    }
}

std::wstring DropData::RefusalText() const {
    std::vector<PathFault> faults;
    std::vector<std::wstring> names;
    for (const DroppedPath& path : paths_) {
        if (path.fault == PathFault::None) continue;
        faults.push_back(path.fault);
        if (names.size() < kListedRefusedPaths) names.push_back(path.wide);
    }
    if (faults.empty()) return {};
    const PathRefusalText text = DescribeRefusedPaths(faults);
    return JoinRefusal(FromAnsi(text.intro), names, text.listed, FromAnsi(text.more));
}
