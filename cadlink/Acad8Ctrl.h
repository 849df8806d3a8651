// The CAD link: finds the running CAD's windows, types commands into it and reads back
// its command history and command pane. All texts are Shift-JIS bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "WindowSystem.h"

class Acad8Ctrl {
public:
    explicit Acad8Ctrl(WindowSystem& ws) : ws_(ws) {}

    // Discovery.
    bool FindAcadWindows();
    WindowHandle FindCommandLinePanes();

    // Command channel. A text over 255 bytes is refused: false, nothing sent.
    bool SendAcadCommand(std::string_view text, bool unicode);
    bool SendCommandAnsi(std::string_view text);
    bool SendCommandWide(std::string_view text);
    bool IsAcadUnicode();

    // History and pane. CopyAcadHistory throws AppError when the clipboard cannot be opened. It
    // leaves the clipboard with what the user had put there.
    std::string GetControlText(WindowHandle w);
    std::string GetCommandPaneText();
    std::string CopyAcadHistory();
    std::string GetLastHistoryLine();

    // Unit state, searched anew by FindAcadWindows (the first four) or carried between calls.
    WindowHandle AcadMainWnd = 0;
    WindowHandle AcadTextWnd = 0;
    WindowHandle CommandPaneWnd = 0;
    WindowHandle HistoryPaneWnd = 0;
    std::uint32_t AcadProcessId = 0;
    WindowHandle CommandLineWnd = 0;
    WindowHandle LineHistoryPaneWnd = 0;
    WindowHandle LineCommandPaneWnd = 0;

private:
    void KeepUserClipboard();

    WindowSystem& ws_;
    // What the user had on the clipboard, as it is put back, and the sequence number at which
    // the clipboard holds it: when it was taken, or when it was last put back.
    std::shared_ptr<const ClipboardContent> userClipboard_;
    std::uint32_t userClipboardSequence_ = 0;
    // CAD's copy not yet replaced by the user's content (the put-back failed): the clipboard at
    // this number is not the user's.
    std::optional<std::uint32_t> cadCopyLeft_;
};

// The WM_COPYDATA records as bytes: ANSI (text, zero byte; cbData n + 1) and UTF-16
// (units, zero unit; cbData 2 * (n + 1)). Exposed so tests can check them byte for byte.
std::vector<std::uint8_t> AnsiRecordBytes(std::string_view text);
std::vector<std::uint8_t> WideRecordBytes(std::u16string_view units, std::size_t ansiLength);

// The last history line: both ends trimmed of bytes <= 0x20, then what follows the last CR or LF.
std::string LastHistoryLine(std::string_view history);
