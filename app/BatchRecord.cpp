#include "BatchRecord.h"

#include <cstdio>

namespace {

const char* OutcomeText(DrawingOutcome outcome) {
    switch (outcome) {
    case DrawingOutcome::NotRun: return "未実行";
    case DrawingOutcome::Running: return "実行中";
    case DrawingOutcome::Done: return "完了";
    case DrawingOutcome::StoppedByMessage: return "停止 (CAD のメッセージ)";
    case DrawingOutcome::CadEnded: return "CAD 終了";
    case DrawingOutcome::Unknown: return "不明";
    }
    return "";
}

// A field in double quotes when it holds a comma, a quote or a line break, quotes doubled.
// None of these bytes is ever the second byte of a Shift-JIS character.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

}  // namespace

std::string TimeText(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::string GroupedNumber(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return n < 0 ? "-" + digits : digits;
}

BatchEnd DecideBatchEnd(bool tailSeen, bool messageSeen, int reached, int count) {
    if (tailSeen) return {BatchEnd::Kind::Complete, count};
    // Before any drawing was seen, CAD was at work on the first.
    const int drawing = reached < 1 ? 1 : reached;
    return {messageSeen ? BatchEnd::Kind::CadMessage : BatchEnd::Kind::CadEnded, drawing};
}

BatchRecord::BatchRecord(LocalTime start, const std::string& caption, std::vector<std::string> paths) {
    // A caption of two lines (its "+") is one field of one line.
    std::string oneLine;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption.compare(i, 2, "\r\n") == 0) {
            oneLine += ' ';
            ++i;
        } else {
            oneLine += caption[i];
        }
    }
    head_ = "開始," + TimeText(start) + ",ボタン," + Field(oneLine) + ",図面数," + std::to_string(paths.size());
    for (std::string& path : paths) rows_.push_back({std::move(path), DrawingOutcome::NotRun, {}});
}

void BatchRecord::Set(int drawing, DrawingOutcome outcome, const std::optional<LocalTime>& reached) {
    Row& row = rows_.at(drawing - 1);
    // Reached anew, by the rest of a run that stopped before it: the new time.
    const bool atWork = row.outcome == DrawingOutcome::Running || row.outcome == DrawingOutcome::Done;
    if (reached && !atWork) row.reached = TimeText(*reached);
    row.outcome = outcome;
}

std::string BatchRecord::Bytes() const {
    std::string bytes = head_ + "\r\n";
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        bytes +=
            std::to_string(i + 1) + "," + Field(row.path) + "," + OutcomeText(row.outcome) + "," + row.reached + "\r\n";
    }
    return bytes;
}
