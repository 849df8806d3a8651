// A run's supervision, from CAD's start until CAD has quit and the operator has answered what
// its end asks: the four watchers' conditions over the CAD link, the run's CAD alone (the
// process it started, or behind a launcher one started since the run began), the batch
// followed drawing by drawing with its record, how the run ended, and the status line. The
// window's timers, the time of day and the record's file come through small seams; the window
// only dispatches its ticks here and shows what they report.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BatchFollow.h"
#include "BatchRecord.h"
#include "CadRun.h"
#include "Tables.h"
#include "cadlink/Acad8Ctrl.h"

// The window's four watcher timers, 300 ms each, and the local time of day.
class RunTimers {
public:
    enum class Watcher {
        StartUp,        // Timer1: CAD's prompt, then the commands that run test.scr
        SurveyEnd,      // Timer2: the survey script's end marker, or CAD's message
        DrawingClosed,  // Timer3: a survey's close done
        Run,            // Timer4: the whole run: its CAD's end, the batch's progress, the status line
    };
    virtual ~RunTimers() = default;
    // An armed timer stays as it is. Raises AppError when the system gives no timer.
    virtual void Arm(Watcher watcher) = 0;
    virtual void Disarm(Watcher watcher) = 0;
    virtual bool Armed(Watcher watcher) const = 0;
    virtual LocalTime Now() const = 0;
    // Asks for SoonTick once the window has handled what is pending, its repaints among it.
    virtual void Soon() = 0;
};

// The record's file: written whole; false when it cannot be.
class RecordFile {
public:
    virtual ~RecordFile() = default;
    virtual bool Write(const std::string& bytes) = 0;
};

// What the window must do after a tick.
struct RunReport {
    enum class Kind {
        None,
        CannotProcess,      // a survey's CAD shows its message: the box that says so, at once
        CadEndedAtStartUp,  // CAD went away before its prompt: the error
        Stopped,            // the batch stopped with CAD's message at `drawing`; CAD left as it is
        Ended,              // the run is over, with nothing to ask
        AskAfterMessage,    // CAD quit after its message at `drawing`: run the drawings after it?
        AskAfterEnd,        // CAD ended early at `drawing`: run from it, after it, or not?
        AskSurveyAgain,     // the survey stopped at `drawing` with CAD's message: survey the others?
    };
    Kind kind = Kind::None;
    int drawing = 0;  // 1-based
    int count = 0;
    std::string path;  // the drawing's

    bool Asks() const {
        return kind == Kind::AskAfterMessage || kind == Kind::AskAfterEnd || kind == Kind::AskSurveyAgain;
    }
};

class RunSupervisor {
public:
    // How a survey's timer wait ended: its text seen, CAD's message, or CAD gone.
    enum class WaitEnd { Seen, CadMessage, CadEnded };
    // Reads that find the clipboard held by another program go on this long before it is said.
    static constexpr std::int64_t kClipboardHeldMs = 2000;
    // The status line says that CAD is at work once reads have found it so this long.
    static constexpr std::int64_t kBusyShownMs = 2000;

    RunSupervisor(Acad8Ctrl& cad, CadRun& run, Processes& processes, RunTimers& timers, RecordFile& record)
        : cad_(cad), run_(run), processes_(processes), timers_(timers), record_(record) {}

    // A batch of these drawings (in drop order), with the marks the script makes CAD echo for
    // them and the button's caption: CAD is started from the path box and the start-up watcher
    // armed. continuing: it is the rest of the last run, whose record goes on. Raises AppError
    // when CAD cannot be started.
    void StartBatch(const std::string& pathBox, std::vector<std::string> paths, std::vector<FollowMark> marks,
                    const std::string& caption, bool continuing);
    // A survey of these drawings; the caller arms the survey-end watcher and waits.
    void StartSurvey(const std::string& pathBox, std::vector<std::string> paths);

    // A run lasts while its CAD has not gone, and until the question its end asks is answered.
    bool Lasts();
    // What the run's end makes of it when its CAD has gone since the last tick; a drop asks
    // first, so that it is never refused for a CAD that has just quit.
    RunReport CheckEnd();

    RunReport StartUpTick();
    RunReport SurveyEndTick();
    RunReport DrawingClosedTick();
    RunReport RunTick();

    // The survey's own steps, for the status line: reading drawing i's layouts (1-based, of n
    // in read order), waiting for CAD to close it, CAD told to quit.
    void SurveyReading(int i);
    void SurveyClosing(int i);
    void SurveyQuitting();
    WaitEnd LastWaitEnd() const { return waitEnd_; }
    // The command pane as the tick that ended the survey's last wait read it.
    const std::string& PaneText() const { return paneText_; }

    // Close CAD was pressed: CAD's end that follows is the operator's doing.
    void CloseRequested() { closeRequested_ = true; }

    // The answer to an Ask report: the first drawing (1-based, of the run that ended) from which
    // the rest is run, or for a survey the drawing left out; none: nothing more. Gives the
    // drawings to run, and ends the run.
    std::vector<std::string> Answer(std::optional<int> drawing);

    // Types the texts into the run's CAD (any CAD when no run lasts), asking afresh before each
    // whether CAD's main window is a Unicode window. They go one at a time, each once CAD
    // answers, with the window's pending messages handled between: CAD carries a text out before
    // it answers again, and a send to a CAD at work could hold the window or be lost. While a run
    // lasts a CAD at work gets the rest on a later tick.
    void Type(const LineList& texts);
    // What is left of the work that one tick or text could not do without holding the window:
    // the next text to type, the command pane a survey waits for.
    void SoonTick();

    // What the status line and the window's title say now; empty before the first run.
    std::string StatusText();

private:
    enum class Road { None, Batch, Survey };
    enum class Phase {
        Idle,
        StartingUp,  // waiting for CAD's prompt
        Script,      // CAD runs the script: a batch followed, or a survey's opening of drawings
        Reading,     // a survey reads drawing surveyStep_'s layouts
        Closing,     // a survey waits for CAD to close drawing surveyStep_
        Quitting,    // a survey told CAD to quit
        Stopped,     // CAD shows its message; left as it is until it quits
        Asking,      // CAD gone; the window asks what to do next
    };

    void Begin(Road road, const std::string& pathBox, std::vector<std::string> paths, std::vector<FollowMark> marks);
    // The run's CAD as discovery finds it now, fed to the run and the follow.
    CadWindows Discover();
    // CAD's history, counting a clipboard held by another program as not yet for a while.
    std::optional<std::string> ReadHistory(const CadWindows& cad);
    void Follow(const CadWindows& cad, const std::optional<std::string>& history);
    void RecordProgress();
    void WriteRecord();
    RunReport EndBatch();
    RunReport EndedWait(RunTimers::Watcher watcher);
    RunReport Finish(std::string status);
    void TypeNext();
    // The survey's wait ends once the command pane is read, soon after its text was seen.
    void ReadPaneSoon(RunTimers::Watcher watcher);
    void DisarmAll();
    RunReport Report(RunReport::Kind kind, int drawing) const;
    std::string Elapsed() const;

    Acad8Ctrl& cad_;
    CadRun& run_;
    Processes& processes_;
    RunTimers& timers_;
    RecordFile& record_;

    Road road_ = Road::None;
    Phase phase_ = Phase::Idle;
    std::vector<std::string> paths_;
    std::unique_ptr<BatchFollow> follow_;
    std::int64_t startMs_ = 0;
    std::int64_t heldSinceMs_ = -1;
    std::int64_t busySinceMs_ = -1;  // since when the reads have found CAD at work
    CadWindows lastCad_;             // of the last read, for a put-back soon after it
    int surveyStep_ = 0;
    WaitEnd waitEnd_ = WaitEnd::Seen;
    std::string paneText_;
    std::optional<RunTimers::Watcher> paneFor_;  // the watcher whose wait ends with the pane read
    bool closeRequested_ = false;
    int stoppedAt_ = 0;  // the drawing of CAD's message
    std::string endStatus_;
    std::deque<std::string> typing_;  // typed texts not yet sent

    // The record of the last batch and where this run's drawings stand in it (rows offset + 1 …).
    std::optional<BatchRecord> batchRecord_;
    int recordOffset_ = 0;
    int nextOffset_ = 0;  // where the rest an answer chose begins
    int recordedReach_ = -1;
    bool recordFailed_ = false;
};

// A duration as the status line gives it: 12 秒, 3 分 05 秒, 1 時間 02 分.
std::string DurationText(std::int64_t ms);
