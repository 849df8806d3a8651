// How a batch ended and the record it leaves: test.csv beside test.scr, Shift-JIS with CR LF so
// that a spreadsheet opens it as it is. A head line (the start, the button's caption, the
// count), then one row per drawing in drop order: its number, full path, outcome and the time
// CAD reached it. It is written anew whenever a row changes, so that it is right up to the
// moment a Marlowen that is closed or killed stopped writing it.
#pragma once

#include <optional>
#include <string>
#include <vector>

// A time of day on the local clock.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::string TimeText(const LocalTime& time);  // 2026/12/10 09:05:03

enum class DrawingOutcome {
    NotRun,            // 未実行
    Running,           // 実行中: reached, CAD at work on it when the record was written
    Done,              // 完了
    StoppedByMessage,  // 停止 (CAD のメッセージ)
    CadEnded,          // CAD 終了: CAD ended while at work on it
    Unknown,           // 不明: a script that cannot be followed tells nothing per drawing
};

// How a followed batch ended, once CAD has gone: at its tail after the last drawing, stopped
// with CAD's message at a drawing, or ended early (a crash, or closed before the tail) while
// at work on a drawing.
struct BatchEnd {
    enum class Kind { Complete, CadMessage, CadEnded };
    Kind kind = Kind::Complete;
    int drawing = 0;  // 1-based; the last one for Complete
};
BatchEnd DecideBatchEnd(bool tailSeen, bool messageSeen, int reached, int count);

class BatchRecord {
public:
    BatchRecord(LocalTime start, const std::string& caption, std::vector<std::string> paths);

    int Count() const { return static_cast<int>(rows_.size()); }
    const std::string& Path(int drawing) const { return rows_.at(drawing - 1).path; }
    DrawingOutcome Outcome(int drawing) const { return rows_.at(drawing - 1).outcome; }

    // The row of drawing (1-based): its outcome, and the time CAD reached it, kept from the
    // moment it was reached until a later run reaches it again.
    void Set(int drawing, DrawingOutcome outcome, const std::optional<LocalTime>& reached = std::nullopt);

    std::string Bytes() const;

private:
    struct Row {
        std::string path;
        DrawingOutcome outcome = DrawingOutcome::NotRun;
        std::string reached;
    };
    std::string head_;
    std::vector<Row> rows_;
};

// A count as the window shows it: 1,000.
std::string GroupedNumber(long long n);
