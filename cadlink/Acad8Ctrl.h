// The CAD link: finds the running CAD's windows, types commands into it and reads back
// its command history and command pane. All texts are Shift-JIS bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Clipboard.h"
#include "WindowSystem.h"

// Which processes discovery may take CAD's windows from; an empty scope takes any.
using ProcessScope = std::function<bool(std::uint32_t processId)>;

// What one discovery found: CAD's windows, the process they belong to, and the two titles,
// which name the drawing CAD has active.
struct CadWindows {
    WindowHandle main = 0;
    WindowHandle text = 0;
    WindowHandle commandPane = 0;
    WindowHandle historyPane = 0;
    std::uint32_t processId = 0;  // whose text window was looked for; 0: none
    std::string mainTitle;        // as compared: at most 254 bytes
    std::string textTitle;
    bool Found() const { return text != 0; }
};

// One read of CAD's history: the history, or why there is none this time. A busy CAD and a
// clipboard held by another program are "not yet", for the caller to try again.
struct HistoryRead {
    enum class Status { Read, NoCad, Busy, Held };
    Status status = Status::NoCad;
    std::string text;  // Read: the whole history as CAD copied it
};

class Acad8Ctrl {
public:
    Acad8Ctrl(WindowSystem& ws, Clipboard& clipboard) : ws_(ws), clipboard_(clipboard) {}

    // From now on every operation works on CAD windows of the processes the scope takes; the
    // process an earlier discovery carried counts only when the scope takes it too.
    void SetScope(ProcessScope scope) { scope_ = std::move(scope); }

    // Discovery. FindCadWindows sets the unit state below and gives what it found.
    CadWindows FindCadWindows();
    bool FindAcadWindows() { return FindCadWindows().Found(); }
    WindowHandle FindCommandLinePanes();
    // Whether that CAD shows its message window (it could not go on with the script).
    bool ShowsMessage(const CadWindows& cad);

    // Command channel. A text over 255 bytes is refused: false, nothing sent.
    bool SendAcadCommand(std::string_view text, bool unicode);
    bool SendCommandAnsi(std::string_view text);
    bool SendCommandWide(std::string_view text);
    bool IsAcadUnicode();
    // Types the text into the CAD the last discovery found, in the form its main window takes
    // now: many texts at once cost one discovery, not two each.
    bool TypeIntoFound(std::string_view text);
    // Whether that CAD's window thread answers now, so that what is typed is taken at once.
    bool Responds(const CadWindows& cad) { return cad.main != 0 && ws_.Responds(cad.main); }

    // The pane. Nothing when the window did not answer in time; the empty text when there is
    // no window or it holds none.
    std::optional<std::string> ReadControlText(WindowHandle w);
    std::optional<std::string> ReadCommandPane();

    // CAD's history through the clipboard, which is left with what the user had put there: a
    // copy that is not CAD's (the owner's process, the sequence numbers) is the user's, and a
    // copy CAD makes late, after a read gave up on it, is put back to the user's content.
    HistoryRead ReadHistory(const CadWindows& cad);
    // CAD's copy is on the clipboard, not yet replaced by the user's content (CAD was busy when
    // it was to be): PutBack tries again, which costs CAD a moment's answer.
    bool CadsCopyLeft() const { return cadsCopyLeft_; }
    void PutBack(const CadWindows& cad) { SettleClipboard(cad.processId); }

    // Unit state, searched anew by FindCadWindows (the first four) or carried between calls.
    WindowHandle AcadMainWnd = 0;
    WindowHandle AcadTextWnd = 0;
    WindowHandle CommandPaneWnd = 0;
    WindowHandle HistoryPaneWnd = 0;
    std::uint32_t AcadProcessId = 0;
    WindowHandle CommandLineWnd = 0;
    WindowHandle LineHistoryPaneWnd = 0;
    WindowHandle LineCommandPaneWnd = 0;

private:
    bool InScope(std::uint32_t processId) const { return processId != 0 && (!scope_ || scope_(processId)); }
    // The clipboard after whatever happened since the last read: CAD's late copy replaced by
    // the user's content, or a new copy of the user's taken as theirs. Read once settled, else
    // why not yet.
    HistoryRead::Status SettleClipboard(std::uint32_t cadProcess);
    // Why the clipboard could not be opened: CAD at work with it, or another program holding it.
    HistoryRead::Status NotOpened(std::uint32_t cadProcess);
    void TakeUsersContent();
    void PutUsersContentBack();

    WindowSystem& ws_;
    Clipboard& clipboard_;
    ProcessScope scope_;
    // What the user had on the clipboard, as it is put back, and the sequence number at which
    // the clipboard holds it: when it was taken, or when it was last put back.
    std::shared_ptr<const ClipboardContent> userContent_;
    std::uint32_t userSequence_ = 0;
    // The process of a CAD that did not answer a copy-history command in time: its copy may
    // land at any moment, until CAD answers again. 0: none pending.
    std::uint32_t copyPendingFrom_ = 0;
    bool cadsCopyLeft_ = false;
};

// The WM_COPYDATA records as bytes: ANSI (text, zero byte; cbData n + 1) and UTF-16
// (units, zero unit; cbData 2 * (n + 1)). Exposed so tests can check them byte for byte.
std::vector<std::uint8_t> AnsiRecordBytes(std::string_view text);
std::vector<std::uint8_t> WideRecordBytes(std::u16string_view units, std::size_t ansiLength);

// The last history line: both ends trimmed of bytes <= 0x20, then what follows the last CR or LF.
std::string LastHistoryLine(std::string_view history);
