// StandInCad: a stand-in for the CAD application, so that Marlowen can be driven end to end
// without it. It shows the CAD's windows and honours the CAD's window-message interface. What
// another program sees of it (window classes and titles, pane captions, command and record
// ids, exit codes) is defined in testsupport/StandInContract.h, where the tests and benchmarks
// that drive it find the same names.
//
//   main window   its title names the active drawing; WM_COPYDATA records of typed input
//                 ("\r" ends a line). Unless /floating, it holds the command line: a history
//                 pane and a command pane.
//   text window   its title names the active drawing; a history pane (shows the history) and
//                 a command pane. The copy-history command puts the active drawing's history on
//                 the clipboard as CF_TEXT before it returns.
//   command pane  keeps its caption for GetWindowTextA from other processes but answers
//                 WM_GETTEXT / WM_GETTEXTLENGTH with the active drawing's output (its history
//                 and the current prompt).
//   /floating     adds the top-level command line, holding the two panes.
//   messages      a drawing that cannot be opened shows the message window and drops the rest
//                 of a running script (typed input stays queued); with FILEDIA 1, "open" and
//                 "script" show the file dialog. Both block further input until closed (their
//                 button, or WM_CLOSE).
//   scripts       as CAD reads them: every blank outside double quotes in a script line is an
//                 Enter, each piece one input line (quotes kept); typed input is not split.
//
// Options: /unicode (Unicode windows: UTF-16 records; otherwise ANSI windows and Shift-JIS
// records), /floating, /halfwidth (prompt "ｺﾏﾝﾄﾞ: " instead of "コマンド: "), /log:PATH
// (without it, the log is the executable's full path followed by ".log"),
// /startdelay:MS (the windows come at once, the start-up prompt after MS),
// /cmddelay:MS (each input line is echoed when taken and carried out MS later; input keeps
// being queued meanwhile), /logtime (every log line ends in " t=MS", milliseconds with three
// decimals on the stand-in's own steady clock, for benchmarks that time its events),
// /windowdelay:MS (the windows come MS after the start, the start-up prompt /startdelay after
// them; meanwhile a splash screen shows at once: a popup of a class of its own, titled as the
// main window), /loaddelay:MS (the process loads for MS before it reads any message: no window
// and no message queue until then), /exitafter:MS (the process ends abruptly MS after its
// start, whatever it is doing: no quit sequence, the abrupt exit code), /exitat:WORD (the same
// end, instead of carrying out the first input line, typed or from a script, whose trimmed
// text is WORD in any ASCII case), /crashon:NAME (the same end at the first input line taken
// while the active drawing is NAME in any ASCII case; the line is not echoed),
// /busy:MS:TEXT (the first input line whose trimmed text, without surrounding double quotes,
// or whose file name part is TEXT in any ASCII case keeps the window thread busy for MS,
// answering no message, before it is carried out; once), /failopen:NAME (opening a drawing
// whose file name part is NAME in any ASCII case fails as for a missing file, though the file
// is there), /historylines:N (each drawing keeps the last N lines of its history, 400 unless
// given; the copy-history command and the panes show no more), /quitdelay:MS (after "quit" the
// windows stay MS, 1000 unless given, answering the copy-history command and the panes but
// taking no input, then the process ends; 0: at once; WM_CLOSE on the main window always ends
// it at once), /launch (starts a copy of this executable with every other argument, in the
// same current folder, and ends at once with the quit exit code and no window, as a site's
// start-up program). Delays are capped at 600000.
//
// Log (/log:PATH, or beside the executable): appended, one event per line, flushed after each,
// Shift-JIS. A quoted text "..." escapes \" \\ \r \n \t and writes bytes that are no Shift-JIS
// character as \xHH (testsupport/StandInLogCodec).
//   start pid=N cwd="..." args="..."      the process began (the command line as given)
//   load ms=N                             the load of /loaddelay begins
//   splash                                the splash screen of /windowdelay shows
//   ready                                 the start-up prompt is shown
//   recv ansi|utf16 dwData=N cbData=N hex=HEX text="..."
//                                         a WM_COPYDATA record: all cbData bytes in hex, and
//                                         the text taken from it (up to the zero byte or unit,
//                                         UTF-16 converted to Shift-JIS); " ignored" is
//                                         appended when dwData is not typed input's
//   input "..."  /  script-line "..."     a typed line / a piece of a script line taken at
//                                         the command line
//   crash "NAME"                          the line taken ends the process abruptly, as the
//                                         active drawing is NAME (/crashon); "exit" follows
//   busy ms=N                             the window thread begins to be busy for the line
//                                         taken (/busy), before it is carried out
//   script-stopped lines=N                a failed open dropped the N script lines left
//   command NAME                          a known command starts (lower case)
//   unknown "..."                         an unknown command
//   set filedia=N  /  set cmddia=N
//   script "NAME" lines=N  /  script-failed "NAME"
//                                         N counts the file's lines, not their pieces
//   open "PATH" name="..." layouts=N  /  open-failed "PATH"
//   new "NAME"  /  close "NAME" active="NAME"
//   layout-list "NAME" count=N
//   history-full "NAME" lines=N           the drawing's history drops its oldest line for the
//                                         first time, keeping the last N
//   file-dialog  /  message-window "..."  /  dialog-closed
//   copy-history bytes=N                  the copy-history command filled the clipboard
//   copy-history failed                   the clipboard could not be opened
//   pane-text bytes=N  /  pane-text units=N
//                                         WM_GETTEXT on a command pane answered with N bytes
//                                         (ANSI) or UTF-16 units (Unicode; Wine's conversion
//                                         of an ANSI WM_GETTEXTLENGTH asks for the text too)
//   launch pid=N  /  launch failed error=N
//                                         /launch started process N / could not start it
//   failure "..."                         a fault of the stand-in itself ended it (what was
//                                         thrown); "exit" with the failure's code follows
//   quit-delay ms=N                       "quit" was carried out; the windows stay N ms after
//                                         the "exit" that follows
//   exit N                                the process ends with exit code N (quit or launched,
//                                         launch failed, abruptly, after a failure); no line
//                                         follows an abrupt end or a failure, and after a quit
//                                         only the records and reads of its delay
//
// The options are read in StandInOptions_win.cpp, the windows live in StandInWindows_win.cpp,
// the session's pump and the log in StandIn_win.cpp, and the interpreter (portable) in
// CadSession.cpp.
#include <windows.h>

#include <exception>

#include "StandIn_win.h"

namespace {

StandIn* gStandIn = nullptr;

// Exceptions stop here; none goes back into the window system. One is a fault of the
// stand-in, which must not pass for a CAD that merely stopped answering: it ends the process.
template <typename Handler>
LRESULT Guarded(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, Handler handler) {
    try {
        if (gStandIn) return (gStandIn->*handler)(hwnd, msg, wp, lp);
    } catch (const std::exception& e) {
        gStandIn->Fail(e.what());
    } catch (...) {
        gStandIn->Fail("unknown exception");
    }
    return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, &StandIn::MainProc); }
LRESULT CALLBACK TextWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, &StandIn::TextProc); }
LRESULT CALLBACK CommandLineWndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return Guarded(h, m, w, l, &StandIn::CommandLineProc);
}
LRESULT CALLBACK PaneWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, &StandIn::PaneProc); }
LRESULT CALLBACK DialogWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, &StandIn::DialogProc); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Never deleted: the /exitafter thread may still log while the process ends.
    gStandIn = new StandIn(ParseOptions());
    try {
        return gStandIn->Launching() ? gStandIn->Launch() : gStandIn->Run();
    } catch (const std::exception& e) {
        gStandIn->Fail(e.what());
    } catch (...) {
        gStandIn->Fail("unknown exception");
    }
}
