#include "DroppedFolders.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "text/UnitFunc.h"

namespace {

// The read tells its progress every this many entries: often enough for a window to answer,
// rarely enough to cost nothing.
constexpr std::size_t kProgressEvery = 64;

template <class Char>
std::uint32_t Code(Char c) {
    return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
}

bool IsDigit(std::uint32_t c) { return c >= '0' && c <= '9'; }

std::uint32_t Folded(std::uint32_t c) {
    if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;  // full-width capitals
    return c;
}

template <class Char>
bool IsDrawingName(const std::basic_string<Char>& name) {
    constexpr std::string_view kExtension = ".dwg";
    if (name.size() < kExtension.size()) return false;
    const std::size_t at = name.size() - kExtension.size();
    for (std::size_t i = 0; i < kExtension.size(); ++i)
        if (Folded(Code(name[at + i])) != static_cast<std::uint32_t>(kExtension[i])) return false;
    return true;
}

template <class Char>
bool IsDotName(const std::basic_string<Char>& name) {
    return name.size() <= 2 && !name.empty() && name.find_first_not_of(static_cast<Char>('.')) == name.npos;
}

// "12,345".
std::string Grouped(std::size_t n) {
    const std::string digits = std::to_string(n);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

template <class Char>
class Expander {
public:
    using String = std::basic_string<Char>;

    Expander(FolderListing<Char>& listing, const FolderReadProgress& progress)
        : listing_(listing), progress_(progress) {}

    DropExpansion<Char> Run(const std::vector<String>& dropped) {
        std::vector<String> droppedFolders;
        for (const String& path : dropped) {
            if (stopped_) break;
            Tick();
            if (!listing_.IsFolder(path)) {
                Add(path);
                continue;
            }
            droppedFolders.push_back(path);
            ExpandFolder(path);
        }
        DropExpansion<Char> result;
        result.found = found_;
        if (stopped_) {
            result.outcome = FolderDropOutcome::Stopped;
        } else if (!unreadable_.empty()) {
            result.outcome = FolderDropOutcome::Unreadable;
            result.folders = std::move(unreadable_);
        } else if (found_ > kMaxDropDrawings) {
            result.outcome = FolderDropOutcome::TooMany;
        } else if (found_ == 0 && !droppedFolders.empty()) {
            result.outcome = FolderDropOutcome::NoDrawing;
            result.folders = std::move(droppedFolders);
        } else {
            result.paths = std::move(paths_);
        }
        return result;
    }

private:
    // A folder being expanded: its subfolders, one after the other, then its drawings. A stack
    // of these rather than a recursion, since a tree may be deeper than a thread's stack.
    struct Frame {
        String folder;
        std::vector<String> subfolders, drawings;  // names, sorted
        std::size_t next = 0;
    };

    void ExpandFolder(const String& root) {
        std::vector<Frame> stack;
        Open(root, stack);
        while (!stack.empty() && !stopped_) {
            Frame& top = stack.back();
            if (top.next < top.subfolders.size()) {
                const String sub = Join(top.folder, top.subfolders[top.next++]);
                Open(sub, stack);
                continue;
            }
            for (const String& name : top.drawings) Add(Join(top.folder, name));
            stack.pop_back();
        }
    }

    void Open(const String& folder, std::vector<Frame>& stack) {
        Frame frame;
        frame.folder = folder;
        const bool read = listing_.List(folder, [&](const FolderEntry<Char>& entry) {
            Tick();
            if (stopped_) return false;
            if (entry.hidden || entry.link || IsDotName(entry.name)) return true;
            if (entry.folder) frame.subfolders.push_back(entry.name);
            else if (IsDrawingName(entry.name)) frame.drawings.push_back(entry.name);
            return true;
        });
        if (!read) {
            unreadable_.push_back(folder);
            return;
        }
        Sort(frame.subfolders);
        Sort(frame.drawings);
        stack.push_back(std::move(frame));
    }

    // Equal names in the platform's order (such as "01" and "1") by their codes, so the order
    // is the same every time. A stable sort stays within the range even if an order were not
    // consistent.
    void Sort(std::vector<String>& names) const {
        std::stable_sort(names.begin(), names.end(), [this](const String& a, const String& b) {
            const int order = listing_.CompareNames(a, b);
            return order != 0 ? order < 0 : a < b;
        });
    }

    String Join(const String& folder, const String& name) const {
        const Char separator = listing_.Separator();
        String path = folder;
        if (path.empty() || path.back() != separator) path.push_back(separator);
        return path + name;
    }

    // Past the limit the drawings are only counted, so that the refusal can say how many.
    void Add(String path) {
        ++found_;
        if (found_ <= kMaxDropDrawings) paths_.push_back(std::move(path));
    }

    void Tick() {
        if (++seen_ % kProgressEvery == 0 && progress_ && !progress_(found_)) stopped_ = true;
    }

    FolderListing<Char>& listing_;
    const FolderReadProgress& progress_;
    std::vector<String> paths_, unreadable_;
    std::size_t found_ = 0, seen_ = 0;
    bool stopped_ = false;
};

}  // namespace

template <class Char>
DropExpansion<Char> ExpandDroppedFolders(const std::vector<std::basic_string<Char>>& dropped,
                                         FolderListing<Char>& listing, const FolderReadProgress& progress) {
    return Expander<Char>(listing, progress).Run(dropped);
}

template <class Char>
int CompareNamesNaturally(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    std::size_t i = 0, j = 0;
    // The end of the run of digits that starts at `at`, and where it starts without its zeros.
    const auto digitRun = [](std::basic_string_view<Char> s, std::size_t at, std::size_t& significant) {
        while (at < s.size() && Code(s[at]) == '0') ++at;
        significant = at;
        while (at < s.size() && IsDigit(Code(s[at]))) ++at;
        return at;
    };
    while (i < a.size() && j < b.size()) {
        const bool digitA = IsDigit(Code(a[i])), digitB = IsDigit(Code(b[j]));
        if (digitA && digitB) {
            std::size_t fromA = 0, fromB = 0;
            const std::size_t endA = digitRun(a, i, fromA), endB = digitRun(b, j, fromB);
            if (endA - fromA != endB - fromB) return endA - fromA < endB - fromB ? -1 : 1;
            for (std::size_t k = 0; k < endA - fromA; ++k)
                if (a[fromA + k] != b[fromB + k]) return a[fromA + k] < b[fromB + k] ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        // A digit comes before any other character, as in the shell's order.
        if (digitA != digitB) return digitA ? -1 : 1;
        const std::uint32_t foldedA = Folded(Code(a[i])), foldedB = Folded(Code(b[j]));
        if (foldedA != foldedB) return foldedA < foldedB ? -1 : 1;
        ++i;
        ++j;
    }
    return i < a.size() ? 1 : j < b.size() ? -1 : 0;
}

template DropExpansion<char> ExpandDroppedFolders(const std::vector<std::string>&, FolderListing<char>&,
                                                  const FolderReadProgress&);
template DropExpansion<wchar_t> ExpandDroppedFolders(const std::vector<std::wstring>&, FolderListing<wchar_t>&,
                                                     const FolderReadProgress&);
template int CompareNamesNaturally(std::string_view, std::string_view);
template int CompareNamesNaturally(std::wstring_view, std::wstring_view);

PathRefusalText DescribeFolderRefusal(FolderDropOutcome outcome, std::size_t found, std::size_t folderCount) {
    switch (outcome) {
    case FolderDropOutcome::Unreadable:
        return ListedRefusal(
            "次のフォルダーを読めないため、このドロップでは何もしませんでした。\r\n"
            "フォルダーを開けるか確かめてから、もう一度ドロップしてください。\r\n",
            folderCount);
    case FolderDropOutcome::NoDrawing:
        return ListedRefusal(
            "次のフォルダーには図面 (名前が .dwg で終わるファイル) がないため、このドロップでは何もしませんでした。\r\n"
            "・サブフォルダーの中も探します。\r\n"
            "・隠しファイルとシステム ファイル、リンクとジャンクションの先は探しません。\r\n",
            folderCount);
    case FolderDropOutcome::TooMany:
        return ListedRefusal("このドロップの図面は " + Grouped(found) + " 件あり、一度に扱える " +
                                 Grouped(kMaxDropDrawings) +
                                 " 件を超えるため、何もしませんでした。\r\n"
                                 "フォルダーを分けて、何回かに分けてドロップしてください。",
                             0);
    case FolderDropOutcome::Drawings:
    case FolderDropOutcome::Stopped: break;
    }
    return {};
}

std::string FolderReadCountText(std::size_t found) { return "図面を探しています: " + Grouped(found) + " 件"; }
