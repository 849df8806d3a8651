// TForm1's watchers: the three timers that poll CAD's last history line, the timer wait of
// the layout survey, and Close CAD.
#include <string>

#include "CadCommands.h"
#include "CadRun.h"
#include "MessageLoop_win.h"
#include "Survey.h"
#include "Unit1_win.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

void TForm1::Timer1Timer() {
    if (IsCommandPrompt(acad_->GetLastHistoryLine())) {
        Timer1.Disarm();
        SendCommandTexts(kRunScriptCommands);
    }
    ListBox1.Clear();
    ListBox3.Clear();
    ListBox4.Clear();
    SuperviseRun();
}

void TForm1::Timer2Timer() {
    if (FindWindowA(nullptr, "AutoCAD メッセージ")) {
        Timer2.Disarm();
        waitEnd_ = WaitEnd::CadMessage;
        MessageBoxA(hwnd_, kCannotProcessMessage, kAppTitle, MB_OK);
    }
    if (acad_->GetLastHistoryLine().find(kSurveyEndMarker) != std::string::npos) Timer2.Disarm();
    SuperviseRun();
}

void TForm1::Timer3Timer() {
    if (acad_->GetLastHistoryLine().find("open") != std::string::npos) Timer3.Disarm();
    SuperviseRun();
}

void TForm1::Button12Click() {
    SetWindowTextA(Memo1, "");
    // Added as the memo's only line: a line ends in CR LF, so with no CAD it is one empty line.
    SetWindowTextA(Memo1, (UnitFunc::RemoveBlanks(acad_->GetCommandPaneText()) + "\r\n").c_str());
    SendCommandTexts(kRestoreAndQuitCommands);
}

void TForm1::SuperviseRun() {
    // Fed on every tick, so a CAD behind a launcher is followed once its window shows.
    if (acad_->AcadMainWnd != 0) run_.SawCadWindow(acad_->AcadProcessId);
    if (!Timer1.Enabled() && !Timer2.Enabled() && !Timer3.Enabled()) return;
    if (run_.Lasts()) return;
    // CAD is gone while a watcher still waits for its text, which would then never come.
    Timer1.Disarm();
    Timer2.Disarm();
    Timer3.Disarm();
    waitEnd_ = WaitEnd::CadEnded;
    if (!waiting_) throw AppError(kCadEndedBeforeScriptMessage);
}

TForm1::WaitEnd TForm1::WaitForTimer(const WatcherTimer& timer) {
    // Timer ticks are messages, so blocking until the next message never misses the flag
    // dropping, and the wait costs no processor time. A WM_QUIT (the window was closed) ends
    // the wait at once and is left for the main loop.
    waitEnd_ = WaitEnd::Seen;
    waiting_ = true;
    WaitEnd end = WaitEnd::Quit;
    while (ProcessPendingMessages(hwnd_)) {
        if (!timer.Enabled()) {
            end = waitEnd_;
            break;
        }
        WaitMessage();
    }
    waiting_ = false;
    return end;
}
