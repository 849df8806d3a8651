#include "RunSupervisor.h"

#include <algorithm>

#include "CadCommands.h"
#include "Survey.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

using Watcher = RunTimers::Watcher;

constexpr Watcher kWatchers[] = {Watcher::StartUp, Watcher::SurveyEnd, Watcher::DrawingClosed, Watcher::Run};

std::string Of(int k, int n) { return GroupedNumber(k) + " / " + GroupedNumber(n); }

}  // namespace

std::string DurationText(std::int64_t ms) {
    const std::int64_t seconds = std::max<std::int64_t>(ms, 0) / 1000;
    const auto two = [](std::int64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    if (seconds < 60) return std::to_string(seconds) + " 秒";
    if (seconds < 3600) return std::to_string(seconds / 60) + " 分 " + two(seconds % 60) + " 秒";
    return std::to_string(seconds / 3600) + " 時間 " + two(seconds / 60 % 60) + " 分";
}

void RunSupervisor::Begin(Road road, const std::string& pathBox, std::vector<std::string> paths,
                          std::vector<FollowMark> marks) {
    run_.Start(pathBox);
    // From here on the CAD link drives this run's CAD alone.
    cad_.SetScope([this](std::uint32_t processId) { return run_.IsRunsCad(processId); });
    road_ = road;
    phase_ = Phase::StartingUp;
    follow_ = std::make_unique<BatchFollow>(paths, std::move(marks));
    paths_ = std::move(paths);
    startMs_ = processes_.NowMs();
    heldSinceMs_ = -1;
    busySinceMs_ = -1;
    surveyStep_ = 0;
    waitEnd_ = WaitEnd::Seen;
    paneText_.clear();
    paneFor_.reset();
    closeRequested_ = false;
    stoppedAt_ = 0;
    endStatus_.clear();
    cad_.FindAcadWindows();
    cad_.FindCommandLinePanes();
    timers_.Arm(Watcher::StartUp);
    timers_.Arm(Watcher::Run);
}

void RunSupervisor::StartBatch(const std::string& pathBox, std::vector<std::string> paths,
                               std::vector<FollowMark> marks, const std::string& caption, bool continuing) {
    std::vector<std::string> recorded = paths;
    Begin(Road::Batch, pathBox, std::move(paths), std::move(marks));
    if (continuing && batchRecord_) {
        recordOffset_ = nextOffset_;
    } else {
        batchRecord_.emplace(timers_.Now(), caption, std::move(recorded));
        recordOffset_ = 0;
        recordFailed_ = false;
    }
    recordedReach_ = -1;
    const DrawingOutcome waiting = follow_->CanFollow() ? DrawingOutcome::NotRun : DrawingOutcome::Unknown;
    for (int d = 1; d <= follow_->Count(); ++d) batchRecord_->Set(recordOffset_ + d, waiting);
    WriteRecord();
}

void RunSupervisor::StartSurvey(const std::string& pathBox, std::vector<std::string> paths) {
    std::vector<FollowMark> marks = SurveyMarks(paths);
    Begin(Road::Survey, pathBox, std::move(paths), std::move(marks));
}

bool RunSupervisor::Lasts() { return phase_ != Phase::Idle; }

void RunSupervisor::Type(const LineList& texts) {
    const bool idle = typing_.empty();
    typing_.insert(typing_.end(), texts.begin(), texts.end());
    if (idle) TypeNext();
}

void RunSupervisor::TypeNext() {
    if (typing_.empty()) return;
    const CadWindows cad = cad_.FindCadWindows();
    // With no CAD to take them the texts go nowhere, as a send to no window does.
    if (cad.main == 0 || !cad.Found()) {
        typing_.clear();
        return;
    }
    // With no run lasting nothing ticks again for a CAD at work, so the text goes anyway; the
    // probe has given CAD its moment to take it, as a text CAD has not taken when the send gives
    // up can be lost.
    if (!cad_.Responds(cad) && phase_ != Phase::Idle) return;
    cad_.TypeIntoFound(typing_.front());
    typing_.pop_front();
    if (!typing_.empty()) timers_.Soon();
}

void RunSupervisor::SoonTick() {
    TypeNext();
    if (cad_.CadsCopyLeft()) {
        cad_.PutBack(lastCad_);
        if (cad_.CadsCopyLeft()) timers_.Soon();
    }
    if (!paneFor_) return;
    // Not answered: the watcher's next tick asks again.
    const std::optional<std::string> pane = cad_.ReadCommandPane();
    if (!pane) return;
    paneText_ = *pane;
    timers_.Disarm(*paneFor_);
    paneFor_.reset();
    waitEnd_ = WaitEnd::Seen;
}

void RunSupervisor::ReadPaneSoon(Watcher watcher) {
    paneFor_ = watcher;
    timers_.Soon();
}

CadWindows RunSupervisor::Discover() {
    CadWindows cad = cad_.FindCadWindows();
    // Fed on every tick, so a CAD behind a launcher is followed once its window shows.
    if (cad.main != 0) run_.SawCadWindow(cad.processId);
    return cad;
}

std::optional<std::string> RunSupervisor::ReadHistory(const CadWindows& cad) {
    HistoryRead read = cad_.ReadHistory(cad);
    lastCad_ = cad;
    // The user's content goes back over CAD's copy as soon as CAD answers, not a tick later.
    if (cad_.CadsCopyLeft()) timers_.Soon();
    if (read.status != HistoryRead::Status::Busy) busySinceMs_ = -1;
    else if (busySinceMs_ < 0) busySinceMs_ = processes_.NowMs();
    if (read.status != HistoryRead::Status::Held) {
        heldSinceMs_ = -1;
        if (read.status == HistoryRead::Status::Read) return std::move(read.text);
        return std::nullopt;
    }
    // Every copy holds the clipboard for a moment: only one held this long is said.
    const std::int64_t now = processes_.NowMs();
    if (heldSinceMs_ < 0) {
        heldSinceMs_ = now;
    } else if (now - heldSinceMs_ >= kClipboardHeldMs) {
        heldSinceMs_ = -1;
        throw AppError("クリップボードを開くことができません");
    }
    return std::nullopt;
}

void RunSupervisor::Follow(const CadWindows& cad, const std::optional<std::string>& history) {
    follow_->SawTitles(cad.mainTitle, cad.textTitle);
    if (history) follow_->SawHistory(*history);
}

RunReport RunSupervisor::StartUpTick() {
    TypeNext();
    const CadWindows cad = Discover();
    const std::optional<std::string> history = ReadHistory(cad);
    // The drawing CAD starts with is named before the script runs: it is none the tail makes.
    follow_->SawTitles(cad.mainTitle, cad.textTitle);
    if (history && IsCommandPrompt(LastHistoryLine(*history))) {
        timers_.Disarm(Watcher::StartUp);
        Type(kRunScriptCommands);
        if (phase_ == Phase::StartingUp) phase_ = Phase::Script;
    }
    return CheckEnd();
}

RunReport RunSupervisor::SurveyEndTick() {
    TypeNext();
    if (phase_ == Phase::Idle) return EndedWait(Watcher::SurveyEnd);
    // The script's end cannot show before the start-up watcher has typed the commands that run
    // it: the history that watcher reads on the same tick is not read twice.
    if (timers_.Armed(Watcher::StartUp)) return CheckEnd();
    const CadWindows cad = Discover();
    const bool message = cad_.ShowsMessage(cad);
    const std::optional<std::string> history = ReadHistory(cad);
    Follow(cad, history);
    if (message) {
        // CAD stopped the script at the drawing it could not open: nothing is read, and CAD is
        // left as it is for the operator to read its message.
        timers_.Disarm(Watcher::SurveyEnd);
        timers_.Disarm(Watcher::StartUp);
        waitEnd_ = WaitEnd::CadMessage;
        phase_ = Phase::Stopped;
        stoppedAt_ = std::max(follow_->Reached(), 1);
        return Report(RunReport::Kind::CannotProcess, stoppedAt_);
    }
    // The first drawing to read is active: its listing is read next.
    if (history && LastHistoryLine(*history).find(kSurveyEndMarker) != std::string::npos)
        ReadPaneSoon(Watcher::SurveyEnd);
    return CheckEnd();
}

RunReport RunSupervisor::DrawingClosedTick() {
    TypeNext();
    if (phase_ == Phase::Idle) return EndedWait(Watcher::DrawingClosed);
    const CadWindows cad = Discover();
    const std::optional<std::string> history = ReadHistory(cad);
    if (history && LastHistoryLine(*history).find("open") != std::string::npos) ReadPaneSoon(Watcher::DrawingClosed);
    return CheckEnd();
}

RunReport RunSupervisor::RunTick() {
    TypeNext();
    if (road_ == Road::Batch && phase_ == Phase::Script && !closeRequested_) {
        const CadWindows cad = Discover();
        const bool message = cad_.ShowsMessage(cad);
        Follow(cad, ReadHistory(cad));
        if (message) {
            phase_ = Phase::Stopped;
            stoppedAt_ = follow_->CanFollow() ? std::max(follow_->Reached(), 1) : 0;
            RecordProgress();
            return Report(RunReport::Kind::Stopped, stoppedAt_);
        }
        RecordProgress();
    }
    return CheckEnd();
}

void RunSupervisor::RecordProgress() {
    if (!follow_->CanFollow()) return;
    const int reached = phase_ == Phase::Stopped ? stoppedAt_ : follow_->Reached();
    if (reached == recordedReach_ && phase_ != Phase::Stopped) return;
    recordedReach_ = reached;
    const LocalTime now = timers_.Now();
    for (int d = 1; d <= reached; ++d) {
        const DrawingOutcome outcome = d < reached                ? DrawingOutcome::Done
                                       : phase_ == Phase::Stopped ? DrawingOutcome::StoppedByMessage
                                                                  : DrawingOutcome::Running;
        batchRecord_->Set(recordOffset_ + d, outcome, now);
    }
    WriteRecord();
}

void RunSupervisor::WriteRecord() {
    // The run goes on without its record; the status line says so, once.
    if (!record_.Write(batchRecord_->Bytes())) recordFailed_ = true;
}

RunReport RunSupervisor::CheckEnd() {
    if (phase_ == Phase::Idle || phase_ == Phase::Asking || run_.Lasts()) return {};
    DisarmAll();
    typing_.clear();
    paneFor_.reset();
    cad_.SetScope(nullptr);
    if (road_ == Road::Batch) {
        if (phase_ == Phase::StartingUp) {
            Finish("CAD が起動の途中で終了しました");
            return Report(RunReport::Kind::CadEndedAtStartUp, 0);
        }
        return EndBatch();
    }
    switch (phase_) {
    case Phase::Stopped:
        if (paths_.size() > 1) {
            phase_ = Phase::Asking;
            endStatus_ = "CAD のメッセージで停止: " + Of(stoppedAt_, static_cast<int>(paths_.size())) + " " +
                         paths_[stoppedAt_ - 1];
            return Report(RunReport::Kind::AskSurveyAgain, stoppedAt_);
        }
        return Finish("CAD のメッセージで停止: " + paths_[0]);
    case Phase::Quitting:
        Finish("レイアウト名を取得しました: " + GroupedNumber(static_cast<long long>(paths_.size())) + " 図面 (" +
               Elapsed() + ")");
        return Report(RunReport::Kind::Ended, 0);
    default:
        // The survey's wait ends and the survey says that CAD ended.
        waitEnd_ = WaitEnd::CadEnded;
        Finish("CAD が途中で終了しました");
        return {};
    }
}

RunReport RunSupervisor::EndBatch() {
    const int count = follow_->Count();
    if (!follow_->CanFollow()) {
        Finish("CAD が終了しました (" + Elapsed() + ")、進み具合はわかりません");
        return Report(RunReport::Kind::Ended, 0);
    }
    const BatchEnd end = DecideBatchEnd(follow_->TailSeen(), phase_ == Phase::Stopped, follow_->Reached(), count);
    const LocalTime now = timers_.Now();
    for (int d = 1; d <= count; ++d) {
        DrawingOutcome outcome = DrawingOutcome::Done;
        if (d == end.drawing && end.kind == BatchEnd::Kind::CadMessage) outcome = DrawingOutcome::StoppedByMessage;
        if (d == end.drawing && end.kind == BatchEnd::Kind::CadEnded) outcome = DrawingOutcome::CadEnded;
        if (d > end.drawing) outcome = DrawingOutcome::NotRun;
        const bool reached = d <= end.drawing;
        batchRecord_->Set(recordOffset_ + d, outcome, reached ? std::optional<LocalTime>(now) : std::nullopt);
    }
    WriteRecord();
    const std::string where = Of(end.drawing, count) + " " + paths_[end.drawing - 1];
    switch (end.kind) {
    case BatchEnd::Kind::Complete:
        Finish("完了: " + GroupedNumber(count) + " 図面 (" + Elapsed() + ")");
        return Report(RunReport::Kind::Ended, 0);
    case BatchEnd::Kind::CadMessage:
        if (end.drawing == count) {
            Finish("CAD のメッセージで停止: " + where);
            return Report(RunReport::Kind::Ended, end.drawing);
        }
        phase_ = Phase::Asking;
        endStatus_ = "CAD のメッセージで停止: " + where;
        return Report(RunReport::Kind::AskAfterMessage, end.drawing);
    case BatchEnd::Kind::CadEnded: break;
    }
    phase_ = Phase::Asking;
    endStatus_ = "CAD が途中で終了: " + where;
    return Report(RunReport::Kind::AskAfterEnd, end.drawing);
}

RunReport RunSupervisor::EndedWait(Watcher watcher) {
    // The run ended between two waits of the survey: the next wait ends at once.
    timers_.Disarm(watcher);
    waitEnd_ = WaitEnd::CadEnded;
    return {};
}

RunReport RunSupervisor::Finish(std::string status) {
    phase_ = Phase::Idle;
    endStatus_ = std::move(status);
    return {};
}

void RunSupervisor::DisarmAll() {
    for (Watcher watcher : kWatchers) timers_.Disarm(watcher);
}

RunReport RunSupervisor::Report(RunReport::Kind kind, int drawing) const {
    RunReport report;
    report.kind = kind;
    report.drawing = drawing;
    report.count = static_cast<int>(paths_.size());
    if (drawing >= 1 && drawing <= report.count) report.path = paths_[drawing - 1];
    return report;
}

std::vector<std::string> RunSupervisor::Answer(std::optional<int> drawing) {
    std::vector<std::string> rest;
    if (drawing && *drawing >= 1 && *drawing <= static_cast<int>(paths_.size())) {
        if (road_ == Road::Survey) {
            rest = paths_;
            rest.erase(rest.begin() + (*drawing - 1));
        } else {
            rest.assign(paths_.begin() + (*drawing - 1), paths_.end());
            nextOffset_ = recordOffset_ + *drawing - 1;
        }
    }
    phase_ = Phase::Idle;
    return rest;
}

void RunSupervisor::SurveyReading(int i) {
    if (phase_ == Phase::Idle) return;
    phase_ = Phase::Reading;
    surveyStep_ = i;
}

void RunSupervisor::SurveyClosing(int i) {
    if (phase_ == Phase::Idle) return;
    phase_ = Phase::Closing;
    surveyStep_ = i;
}

void RunSupervisor::SurveyQuitting() {
    if (phase_ != Phase::Idle) phase_ = Phase::Quitting;
}

std::string RunSupervisor::Elapsed() const { return DurationText(processes_.NowMs() - startMs_); }

std::string RunSupervisor::StatusText() {
    const int count = static_cast<int>(paths_.size());
    std::string text;
    switch (phase_) {
    case Phase::Idle:
    case Phase::Asking: text = endStatus_; break;
    case Phase::StartingUp: text = "CAD の起動を待っています " + Elapsed(); break;
    case Phase::Script:
        if (road_ == Road::Survey) {
            text = "CAD が図面を開いています " + Of(follow_->Reached(), count) + " (" + Elapsed() + ")";
        } else if (!follow_->CanFollow()) {
            text = "CAD がスクリプトを実行しています (" + Elapsed() + ")、進み具合はわかりません";
        } else if (follow_->Reached() == 0) {
            text = "実行中 " + Of(0, count) + " (" + Elapsed() + ")";
        } else {
            const int d = follow_->Reached();
            text = "実行中 " + Of(d, count) + " (" + Elapsed() + ") " + UnitFunc::SplitPath(paths_[d - 1]).fileName;
        }
        break;
    case Phase::Reading: text = "レイアウト名を読んでいます " + Of(surveyStep_, count); break;
    case Phase::Closing: text = "CAD が図面を閉じるのを待っています " + Of(surveyStep_, count); break;
    case Phase::Quitting: text = "CAD の終了を待っています (" + Elapsed() + ")"; break;
    case Phase::Stopped:
        text = stoppedAt_ >= 1 ? "CAD のメッセージで停止: " + Of(stoppedAt_, count) + " " + paths_[stoppedAt_ - 1]
                               : std::string("CAD のメッセージで停止");
        break;
    }
    const bool longBusy = busySinceMs_ >= 0 && processes_.NowMs() - busySinceMs_ >= kBusyShownMs;
    if (longBusy && phase_ != Phase::Idle && phase_ != Phase::Asking) text += "、CAD は作業中";
    if (recordFailed_ && road_ == Road::Batch) text += "、記録 (test.csv) を書けません";
    return text;
}
