// TForm1's watchers: the four timers, whose ticks the run supervisor handles, what the end of a
// run asks the operator, the timer wait of the layout survey, and Close CAD.
#include <optional>
#include <string>

#include "CadCommands.h"
#include "CadRun.h"
#include "MessageLoop_win.h"
#include "Unit1_win.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

// Close CAD's pane read gives up after this many reads (each at most twice 40 ms) of a CAD at work.
constexpr int kPaneAttempts = 10;

// What the end of a run asks, in short lines: a message box wraps a long Japanese line anywhere.
std::string Where(const RunReport& report) {
    return "図面 " + GroupedNumber(report.drawing) + " / " + GroupedNumber(report.count) + ":\r\n" + report.path;
}

std::string Range(int first, int last) {
    return first == last ? "図面 " + GroupedNumber(first)
                         : "図面 " + GroupedNumber(first) + " から " + GroupedNumber(last);
}

}  // namespace

void TForm1::Timer1Timer() {
    const RunReport report = supervisor_->StartUpTick();
    ListBox1.Clear();
    ListBox3.Clear();
    ListBox4.Clear();
    ShowRunReport(report);
}

void TForm1::Timer2Timer() { ShowRunReport(supervisor_->SurveyEndTick()); }

void TForm1::Timer3Timer() { ShowRunReport(supervisor_->DrawingClosedTick()); }

void TForm1::Timer4Timer() { ShowRunReport(supervisor_->RunTick()); }

void TForm1::SoonTimerTimer() {
    KillTimer(hwnd_, kSoonTimer);
    supervisor_->SoonTick();
}

void TForm1::Button12Click() {
    SetWindowTextA(Memo1, "");
    // A click may wait a moment for a CAD slow to answer, where a tick would give up at once.
    std::optional<std::string> read;
    for (int attempt = 0; attempt < kPaneAttempts && !read; ++attempt) read = acad_->ReadCommandPane();
    // Added as the memo's only line: a line ends in CR LF, so with no CAD it is one empty line.
    const std::string pane = read.value_or(std::string());
    SetWindowTextA(Memo1, (UnitFunc::RemoveBlanks(pane) + "\r\n").c_str());
    if (supervisor_->Lasts()) supervisor_->CloseRequested();
    supervisor_->Type(kRestoreAndQuitCommands);
}

void TForm1::ShowRunReport(const RunReport& report) {
    ShowStatus();
    switch (report.kind) {
    case RunReport::Kind::None: return;
    case RunReport::Kind::CannotProcess: MessageBoxA(hwnd_, kCannotProcessMessage, kAppTitle, MB_OK); return;
    case RunReport::Kind::CadEndedAtStartUp: FlashIfBehind(); throw AppError(kCadEndedBeforeScriptMessage);
    case RunReport::Kind::Stopped:
    case RunReport::Kind::Ended: FlashIfBehind(); return;
    case RunReport::Kind::AskAfterMessage:
    case RunReport::Kind::AskAfterEnd:
    case RunReport::Kind::AskSurveyAgain:
        FlashIfBehind();
        AskAboutTheRest(report);
        return;
    }
}

void TForm1::AskAboutTheRest(const RunReport& report) {
    std::optional<int> from;
    const int next = report.drawing + 1;
    switch (report.kind) {
    case RunReport::Kind::AskAfterMessage: {
        const std::string text = "CAD のメッセージで止まりました。\r\n" + Where(report) + "\r\n\r\nこの後の " +
                                 Range(next, report.count) + " を\r\n実行しますか?";
        if (MessageBoxA(hwnd_, text.c_str(), kAppTitle, MB_YESNO | MB_ICONQUESTION) == IDYES) from = next;
        break;
    }
    case RunReport::Kind::AskAfterEnd: {
        const std::string head = "CAD が実行の途中で終了しました。\r\n" + Where(report) + "\r\n\r\n";
        if (report.drawing == report.count) {
            const std::string text = head + "この図面をもう一度実行しますか?";
            if (MessageBoxA(hwnd_, text.c_str(), kAppTitle, MB_YESNO | MB_ICONQUESTION) == IDYES) from = report.drawing;
            break;
        }
        const std::string text =
            head + "はい: この図面から実行します\r\nいいえ: 次の図面から実行します\r\n" + "キャンセル: 実行しません";
        switch (MessageBoxA(hwnd_, text.c_str(), kAppTitle, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: from = report.drawing; break;
        case IDNO: from = next; break;
        default: break;
        }
        break;
    }
    case RunReport::Kind::AskSurveyAgain: {
        const std::string text = "CAD が図面を開けませんでした。\r\n" + Where(report) +
                                 "\r\n\r\nこの図面を除いて、ほかの " + GroupedNumber(report.count - 1) +
                                 " 図面の\r\nレイアウト名をもう一度取得しますか?";
        if (MessageBoxA(hwnd_, text.c_str(), kAppTitle, MB_YESNO | MB_ICONQUESTION) == IDYES) from = report.drawing;
        break;
    }
    default: return;
    }
    restIsSurvey_ = report.kind == RunReport::Kind::AskSurveyAgain;
    restPaths_ = supervisor_->Answer(from);
    ShowStatus();
    // Started from the message loop: the tick that asked must be over first.
    if (!restPaths_.empty()) PostMessageA(hwnd_, kRunTheRestMessage, 0, 0);
}

void TForm1::RunTheRest() {
    const LineList paths = std::move(restPaths_);
    restPaths_.clear();
    if (paths.empty() || supervisor_->Lasts()) return;
    if (restIsSurvey_) {
        SurveyDrop(paths);
    } else {
        SectionDrop(paths, runSection_, runLayoutRows_, true);
    }
}

void TForm1::ShowStatus() { statusLine_.Show(supervisor_->StatusText()); }

void TForm1::FlashIfBehind() {
    // The operator left the batch running and works elsewhere: the taskbar button says it ended.
    if (GetForegroundWindow() == hwnd_) return;
    FLASHWINFO flash{sizeof flash, hwnd_, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

bool TForm1::WaitForTimer(const WatcherTimer& timer) {
    // Timer ticks are messages, so blocking until the next message never misses the flag
    // dropping, and the wait costs no processor time. A WM_QUIT (the window was closed) ends
    // the wait at once and is left for the main loop.
    while (ProcessPendingMessages(hwnd_)) {
        if (!timer.Enabled()) {
            // The tick that ended the wait may have taken a while; what the survey does next
            // takes more, so the window shows what is due first.
            PaintNow();
            return true;
        }
        WaitMessage();
    }
    return false;
}
