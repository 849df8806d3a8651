#include "BatchFollow.h"

#include <algorithm>

#include "text/UnitFunc.h"

namespace {

// The typed answers of the script's tail, which turns the dialogs back on and quits CAD: the
// same lines in a row, with 1 for both answers, are echoed nowhere else during a run.
const std::string_view kTailEchoes[] = {"filedia", "1", "cmddia", "1", "quit"};

// Whether the line is the echo of this input line: the prompt, a blank, then the input; or
// the input alone. A blank is never a trail byte, so what follows one starts a character.
bool Echoes(std::string_view line, std::string_view piece) {
    if (line == piece) return true;
    return line.size() > piece.size() && line.ends_with(piece) && line[line.size() - piece.size() - 1] == ' ';
}

}  // namespace

std::vector<std::string> HistoryLines(std::string_view history) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < history.size()) {
        const std::size_t end = history.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(history.substr(start));
            break;
        }
        lines.emplace_back(history.substr(start, end - start));
        start = end + (history.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string ActiveDrawingName(std::string_view mainTitle, std::string_view textTitle) {
    // The brackets are searched character by character: 0x5B and 0x5D may be trail bytes.
    if (const int open = UnitFunc::PosFrom(" - [", mainTitle, 0); open != 0) {
        const int nameStart = open + 4;  // 1-based
        int close = 0;
        for (int at = UnitFunc::PosFrom("]", mainTitle, nameStart - 1); at != 0;
             at = UnitFunc::PosFrom("]", mainTitle, at))
            close = at;
        if (close == static_cast<int>(mainTitle.size()) && close > nameStart)
            return std::string(mainTitle.substr(nameStart - 1, close - nameStart));
    }
    if (const int dash = UnitFunc::PosFrom(" - ", textTitle, 0); dash != 0)
        return std::string(textTitle.substr(dash + 2));
    return {};
}

BatchFollow::BatchFollow(std::vector<std::string> paths, std::vector<FollowMark> marks)
    : paths_(std::move(paths)), marks_(std::move(marks)) {
    for (const std::string& path : paths_) names_.push_back(UnitFunc::SplitPath(path).fileName);
    for (int i = 0; i < static_cast<int>(marks_.size()); ++i) markIndex_[marks_[i].piece].push_back(i);
    firstMarkOf_.assign(paths_.size() + 2, static_cast<int>(marks_.size()));
    for (int i = static_cast<int>(marks_.size()) - 1; i >= 0; --i) firstMarkOf_[marks_[i].drawing] = i;
    for (int d = static_cast<int>(paths_.size()); d >= 1; --d)
        firstMarkOf_[d] = std::min(firstMarkOf_[d], firstMarkOf_[d + 1]);
}

int BatchFollow::MarkAtOrAfter(int from, std::string_view piece) const {
    const auto found = markIndex_.find(piece);
    if (found == markIndex_.end()) return -1;
    const auto at = std::lower_bound(found->second.begin(), found->second.end(), from);
    return at == found->second.end() ? -1 : *at;
}

int BatchFollow::EchoedMark(std::string_view line, int from) const {
    // The input is the whole line or what follows one of its blanks; the longest that is a
    // mark is the one echoed.
    for (std::size_t start = 0; start < line.size();) {
        if (const int mark = MarkAtOrAfter(from, line.substr(start)); mark >= 0) return mark;
        const std::size_t blank = line.find(' ', start);
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    return -1;
}

void BatchFollow::Confirm(int mark) {
    next_ = std::max(next_, mark + 1);
    reached_ = std::max(reached_, marks_[mark].drawing);
}

std::size_t BatchFollow::SeenBefore(const std::vector<std::string>& lines) const {
    // The longest end of the last read that begins this one, the last read's own last line
    // left out too: CAD may have finished it since (a prompt answered). The longer one is
    // taken, so that a line is never counted new twice.
    std::vector<std::size_t> border(lines.size(), 0);
    for (std::size_t i = 1, k = 0; i < lines.size(); ++i) {
        while (k > 0 && lines[i] != lines[k]) k = border[k - 1];
        if (lines[i] == lines[k]) ++k;
        border[i] = k;
    }
    std::size_t matched = 0;
    std::size_t beforeLast = 0;
    for (std::size_t i = 0; i < lastLines_.size(); ++i) {
        if (matched == lines.size()) matched = border[matched - 1];
        while (matched > 0 && lastLines_[i] != lines[matched]) matched = border[matched - 1];
        if (matched < lines.size() && lastLines_[i] == lines[matched]) ++matched;
        if (i + 2 == lastLines_.size()) beforeLast = matched;
    }
    return std::max(matched, beforeLast);
}

void BatchFollow::SawHistory(std::string_view history) {
    std::vector<std::string> lines = HistoryLines(history);
    // The same history as last time only while the titles name the same drawing and more than
    // a stray line of the last read begins this one.
    const std::size_t seen = titleName_ == lastReadName_ ? SeenBefore(lines) : 0;
    if (seen >= std::min<std::size_t>(2, lastLines_.size()) && seen > 0) {
        // The same history as last time: what follows came since, after every mark seen.
        for (std::size_t i = seen; i < lines.size(); ++i)
            if (const int mark = EchoedMark(lines[i], next_); mark >= 0) Confirm(mark);
    } else {
        // Another drawing's history, or one whose lines all came since: what it echoes is laid
        // over the marks from the start, each at the earliest place it can stand, so that
        // nothing is counted beyond where CAD can be.
        int last = -1;
        for (const std::string& line : lines)
            if (const int mark = EchoedMark(line, last + 1); mark >= 0) last = mark;
        if (last >= 0) Confirm(last);
    }
    for (std::size_t i = 0; !tailSeen_ && i + std::size(kTailEchoes) <= lines.size(); ++i) {
        tailSeen_ = true;
        for (std::size_t k = 0; k < std::size(kTailEchoes); ++k) tailSeen_ &= Echoes(lines[i + k], kTailEchoes[k]);
    }
    if (tailSeen_) reached_ = Count();
    lastLines_ = std::move(lines);
    lastReadName_ = titleName_;
}

void BatchFollow::SawTitles(std::string_view mainTitle, std::string_view textTitle) {
    const std::string name = ActiveDrawingName(mainTitle, textTitle);
    if (name.empty() || name == titleName_) return;
    titleName_ = name;
    const auto names = [&](int d) { return names_[d - 1] == name || paths_[d - 1] == name; };
    if (reached_ >= 1 && names(reached_)) return;
    for (int d = reached_ + 1; d <= Count(); ++d) {
        if (!names(d)) continue;
        // CAD opened it: every drawing before it is done.
        reached_ = d;
        next_ = std::max(next_, firstMarkOf_[d]);
        return;
    }
}
