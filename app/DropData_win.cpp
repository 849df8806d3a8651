#include "DropData_win.h"

#include <algorithm>
#include <utility>

#include "DroppedFolders_win.h"
#include "text/Encoding_win.h"

namespace {

// Sized by the lengths the shell reports, so no read can run past the text.
std::wstring QueryPath(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = DragQueryFileW(drop, index, path.data(), length + 1);
    path.resize(std::min(copied, length));
    return path;
}

}  // namespace

POINT DropData::ClientPoint() const {
    POINT point{};
    DragQueryPoint(drop_, &point);
    return point;
}

int DropData::Count() const { return static_cast<int>(DragQueryFileA(drop_, 0xFFFFFFFF, nullptr, 0)); }

void DropData::ReadPaths(const FolderReadProgress& progress) {
    const int count = Count();
    std::vector<std::wstring> dropped;
    dropped.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) dropped.push_back(QueryPath(drop_, static_cast<UINT>(i)));
    expansion_ = ExpandShellDrop(dropped, progress);
    paths_.clear();
    paths_.reserve(expansion_.paths.size());
    for (std::wstring& wide : expansion_.paths) {
        DroppedPath path;
        path.wide = std::move(wide);
        bool lost = false;
        path.ansi = CodePageFromWide(path.wide, CP_ACP, &lost);
        path.fault = ClassifyDroppedPath(path.ansi.size(), lost);
        paths_.push_back(std::move(path));
    }
    expansion_.paths.clear();
}

std::wstring DropData::RefusalText() const {
    if (expansion_.outcome != FolderDropOutcome::Drawings) {
        const PathRefusalText text = DescribeFolderRefusal(expansion_);
        return JoinRefusal(WideFromCodePage(text.intro, CP_ACP), expansion_.folders, text.listed,
                           WideFromCodePage(text.more, CP_ACP));
    }
    std::vector<PathFault> faults;
    std::vector<std::wstring> names;
    for (const DroppedPath& path : paths_) {
        if (path.fault == PathFault::None) continue;
        faults.push_back(path.fault);
        if (names.size() < kListedRefusedPaths) names.push_back(path.wide);
    }
    if (faults.empty()) return {};
    const PathRefusalText text = DescribeRefusedPaths(faults);
    return JoinRefusal(WideFromCodePage(text.intro, CP_ACP), names, text.listed, WideFromCodePage(text.more, CP_ACP));
}
