// Which dropped drawing CAD's script has reached, from what CAD shows: the texts the template's
// placeholders produced for each drawing, where CAD echoes the script's input in the active
// drawing's history (the prompt, then the input line), and the active drawing that CAD's window
// titles name. CAD keeps a history per open drawing and only its last lines, so the follow
// takes each read as it comes and never counts a drawing reached before CAD has reached it: a
// drawing whose lines all went by between two reads counts once a later one is seen.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One input line of the script (a piece of a script line as CAD reads it, quotes as written)
// that holds text a placeholder put there for one drawing.
struct FollowMark {
    int drawing = 0;  // 1-based, in drop order
    std::string piece;
};

class BatchFollow {
public:
    // The run's drawings in drop order, and the marks in the order the script has them.
    BatchFollow(std::vector<std::string> paths, std::vector<FollowMark> marks);

    // A script whose per-drawing lines hold no placeholder gives CAD nothing to echo per drawing.
    bool CanFollow() const { return !marks_.empty(); }
    int Count() const { return static_cast<int>(paths_.size()); }

    void SawTitles(std::string_view mainTitle, std::string_view textTitle);
    // A copy of the active drawing's history, as the copy-history command gives it, after the
    // titles of the same moment.
    void SawHistory(std::string_view history);

    // The drawing CAD has reached, 1-based; 0 before the first.
    int Reached() const { return reached_; }
    // CAD echoed the script's tail, which follows the last drawing's lines.
    bool TailSeen() const { return tailSeen_; }

private:
    // The first mark at or after from with this text; -1 when none is.
    int MarkAtOrAfter(int from, std::string_view piece) const;
    // The mark a history line echoes, at or after from; -1 when it echoes none.
    int EchoedMark(std::string_view line, int from) const;
    void Confirm(int mark);
    // How many lines at the start of lines the last read showed already.
    std::size_t SeenBefore(const std::vector<std::string>& lines) const;

    std::vector<std::string> paths_;
    std::vector<std::string> names_;  // file names, for the titles
    std::vector<FollowMark> marks_;
    std::unordered_map<std::string_view, std::vector<int>> markIndex_;  // ascending, per text
    std::vector<int> firstMarkOf_;  // [drawing]: its first mark, or the next drawing's
    int next_ = 0;                  // the first mark not yet seen
    int reached_ = 0;
    bool tailSeen_ = false;
    std::string titleName_;  // the active drawing the titles named last
    std::vector<std::string> lastLines_;
    std::string lastReadName_;  // titleName_ at the last read
};

// The drawing that CAD's titles name: "... - [NAME]" on the main window, "... - NAME" on the
// text window; empty when neither names one.
std::string ActiveDrawingName(std::string_view mainTitle, std::string_view textTitle);

// A history's lines, split at CR LF, CR or LF, without a last empty one.
std::vector<std::string> HistoryLines(std::string_view history);
