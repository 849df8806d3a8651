#include "Acad8Ctrl.h"

#include <algorithm>
#include <utility>

namespace {

// GetWindowTextA and GetClassNameA are given a limit of 255 bytes with the zero, so only
// this much of a title or class name ever takes part in a comparison.
constexpr std::size_t kCompareLimit = 254;
// The record's buffer holds 256 bytes (256 units in the UTF-16 form) with the zero.
constexpr std::size_t kCommandTextLimit = 255;
constexpr std::uintptr_t kCommandRecordId = 1;
constexpr std::uint16_t kCopyHistoryCommand = 32781;

constexpr std::string_view kAutoCadTitle = "AutoCAD ";
constexpr std::string_view kAutodeskTitle = "Autodesk ";
constexpr std::string_view kTextWindowTitle = "テキスト ウィンドウ";
constexpr std::string_view kCommandLineTitle = "コマンド ライン";
constexpr std::string_view kMainClass = "Afx:00400000:8:";
constexpr std::string_view kTextClass = "Afx:00400000:b:";
constexpr std::string_view kHistoryPaneTitle = "Headlands";
constexpr std::string_view kCommandPaneTitle = "MountTam";
// CAD's window for a message it cannot go on from, such as a drawing it could not open.
constexpr std::string_view kMessageTitle = "AutoCAD メッセージ";
// What the user's content is put back with, so that the system's clipboard history, which has
// recorded it once already, does not record it again at every read.
constexpr std::string_view kExcludeFromHistoryFormat = "ExcludeClipboardContentFromMonitorProcessing";

std::string Comparable(std::string text) {
    text.resize(std::min({text.size(), text.find('\0'), kCompareLimit}));
    return text;
}

std::string ReadTitle(WindowSystem& ws, WindowHandle w) { return Comparable(ws.Title(w)); }
std::string ReadClass(WindowSystem& ws, WindowHandle w) { return Comparable(ws.ClassName(w)); }

// The clipboard stays open only while this lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(Clipboard& clipboard) : clipboard_(clipboard), open_(clipboard.Open()) {}
    ~OpenedClipboard() {
        if (open_) clipboard_.Close();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return open_; }

private:
    Clipboard& clipboard_;
    bool open_;
};

}  // namespace

CadWindows Acad8Ctrl::FindCadWindows() {
    AcadMainWnd = 0;
    AcadTextWnd = 0;
    CommandPaneWnd = 0;
    HistoryPaneWnd = 0;
    CadWindows found;

    ws_.EnumTopLevel([&](WindowHandle w) {
        std::string title = ReadTitle(ws_, w);
        if (title.empty()) return true;
        if (!title.starts_with(kAutoCadTitle) && !title.starts_with(kAutodeskTitle)) return true;
        if (!ReadClass(ws_, w).starts_with(kMainClass)) return true;
        const std::uint32_t processId = ws_.ProcessId(w);
        if (!InScope(processId)) return true;
        AcadMainWnd = w;
        AcadProcessId = processId;
        found.mainTitle = std::move(title);
        return false;
    });
    // The process of an earlier discovery is looked at only while the scope still takes it.
    const std::uint32_t processId = InScope(AcadProcessId) ? AcadProcessId : 0;

    ws_.EnumTopLevel([&](WindowHandle w) {
        std::string title = ReadTitle(ws_, w);
        if (title.empty() || !title.starts_with(kAutoCadTitle)) return true;
        if (!ReadClass(ws_, w).starts_with(kTextClass)) return true;
        if (title.find(kTextWindowTitle) == std::string::npos) return true;
        // No window has process 0; one that vanished since its title was read reports it.
        if (processId == 0 || ws_.ProcessId(w) != processId) return true;
        AcadTextWnd = w;
        found.textTitle = std::move(title);
        return false;
    });

    if (AcadTextWnd != 0) {
        ws_.EnumDescendants(AcadTextWnd, [this](WindowHandle w) {
            const std::string title = ReadTitle(ws_, w);
            if (title.empty()) return true;
            if (title == kHistoryPaneTitle) {
                HistoryPaneWnd = w;
            } else if (title == kCommandPaneTitle) {
                CommandPaneWnd = w;
            }
            return HistoryPaneWnd == 0 || CommandPaneWnd == 0;
        });
    }
    found.main = AcadMainWnd;
    found.text = AcadTextWnd;
    found.commandPane = CommandPaneWnd;
    found.historyPane = HistoryPaneWnd;
    found.processId = AcadTextWnd != 0 ? processId : (AcadMainWnd != 0 ? AcadProcessId : 0);
    return found;
}

bool Acad8Ctrl::ShowsMessage(const CadWindows& cad) {
    if (cad.processId == 0) return false;
    bool shown = false;
    ws_.EnumTopLevel([&](WindowHandle w) {
        shown = ReadTitle(ws_, w) == kMessageTitle && ws_.ProcessId(w) == cad.processId;
        return !shown;
    });
    return shown;
}

WindowHandle Acad8Ctrl::FindCommandLinePanes() {
    // The whole walk runs: the last matching window in walking order is the one kept.
    auto findLinePanes = [this](WindowHandle parent) {
        ws_.EnumDescendants(parent, [this](WindowHandle w) {
            const std::string title = ReadTitle(ws_, w);
            if (title.empty()) return true;
            if (title.starts_with(kHistoryPaneTitle)) LineHistoryPaneWnd = w;
            if (title.starts_with(kCommandPaneTitle)) LineCommandPaneWnd = w;
            return true;
        });
    };

    FindAcadWindows();
    if (!ws_.IsWindow(AcadMainWnd)) return LineHistoryPaneWnd;
    findLinePanes(AcadMainWnd);
    if (ws_.IsWindow(LineHistoryPaneWnd)) return LineHistoryPaneWnd;

    ws_.EnumTopLevel([this](WindowHandle w) {
        const std::string className = ReadClass(ws_, w);
        const std::string title = ReadTitle(ws_, w);
        if (title.empty() || !title.starts_with(kCommandLineTitle)) return true;
        if (!className.starts_with(kMainClass)) return true;
        CommandLineWnd = w;
        return false;
    });
    if (ws_.IsWindow(CommandLineWnd)) findLinePanes(CommandLineWnd);
    return LineHistoryPaneWnd;
}

bool Acad8Ctrl::SendAcadCommand(std::string_view text, bool unicode) {
    if (!FindAcadWindows()) return false;
    return unicode ? SendCommandWide(text) : SendCommandAnsi(text);
}

bool Acad8Ctrl::TypeIntoFound(std::string_view text) {
    const bool unicode = AcadMainWnd != 0 && ws_.IsWindowUnicode(AcadMainWnd);
    return unicode ? SendCommandWide(text) : SendCommandAnsi(text);
}

bool Acad8Ctrl::SendCommandAnsi(std::string_view text) {
    if (text.size() > kCommandTextLimit || !ws_.IsWindow(AcadMainWnd)) return false;
    const std::vector<std::uint8_t> record = AnsiRecordBytes(text);
    ws_.SendCopyData(AcadMainWnd, kCommandRecordId, record.data(), static_cast<std::uint32_t>(record.size()));
    ws_.PostNull(AcadMainWnd);
    return true;
}

bool Acad8Ctrl::SendCommandWide(std::string_view text) {
    if (text.size() > kCommandTextLimit || !ws_.IsWindow(AcadMainWnd)) return false;
    const std::vector<std::uint8_t> record = WideRecordBytes(ws_.WideFromAnsi(text), text.size());
    ws_.SendCopyData(AcadMainWnd, kCommandRecordId, record.data(), static_cast<std::uint32_t>(record.size()));
    ws_.PostNull(AcadMainWnd);
    return true;
}

bool Acad8Ctrl::IsAcadUnicode() {
    FindAcadWindows();
    return AcadMainWnd != 0 && ws_.IsWindowUnicode(AcadMainWnd);
}

std::optional<std::string> Acad8Ctrl::ReadControlText(WindowHandle w) {
    if (!ws_.IsWindow(w)) return std::string();
    const std::optional<std::intptr_t> length = ws_.SendGetTextLength(w);
    if (!length) return std::nullopt;
    if (*length <= 0) return std::string();
    return ws_.SendGetText(w, static_cast<std::size_t>(*length) + 1);
}

std::optional<std::string> Acad8Ctrl::ReadCommandPane() {
    if (!FindAcadWindows()) return std::string();
    return ReadControlText(CommandPaneWnd);
}

HistoryRead Acad8Ctrl::ReadHistory(const CadWindows& cad) {
    using Status = HistoryRead::Status;
    if (!cad.Found() || !ws_.IsWindow(cad.text)) return {};
    // A command left unanswered by another CAD, gone or out of the scope, is no longer waited for.
    if (copyPendingFrom_ != cad.processId) copyPendingFrom_ = 0;
    if (const Status settled = SettleClipboard(cad.processId); settled != Status::Read) return {settled, {}};
    if (copyPendingFrom_ != 0) {
        // One command at a time: a second behind the first would copy twice. Once CAD answers,
        // the first has landed or is gone for good.
        if (!ws_.Responds(cad.text)) return {Status::Busy, {}};
        copyPendingFrom_ = 0;
        if (const Status settled = SettleClipboard(cad.processId); settled != Status::Read) return {settled, {}};
    }
    const std::uint32_t before = clipboard_.SequenceNumber();
    // CAD has put its history on the clipboard by the time it answers the command.
    if (!ws_.SendCommand(cad.text, kCopyHistoryCommand)) {
        copyPendingFrom_ = cad.processId;
        return {Status::Busy, {}};
    }
    const std::uint32_t cadCopy = clipboard_.SequenceNumber();
    // An unchanged clipboard is not CAD's copy: what it holds is the user's. CAD copied
    // nothing, or could not because another program holds the clipboard.
    if (cadCopy == before) {
        const OpenedClipboard heldElsewhere(clipboard_);
        return {heldElsewhere.IsOpen() ? Status::Read : NotOpened(cad.processId), {}};
    }
    // Another program's copy right after CAD's is the user's: not read, not replaced.
    const std::uint32_t owner = clipboard_.OwnerProcessId();
    if (owner != 0 && owner != cad.processId) {
        const Status settled = SettleClipboard(cad.processId);
        return {settled == Status::Read ? Status::Busy : settled, {}};
    }
    // CAD's copy stays on the clipboard when it is not read now; the next read puts the user's
    // content back over it.
    cadsCopyLeft_ = true;
    if (!clipboard_.OwnerResponds()) return {Status::Busy, {}};
    HistoryRead read{Status::Read, {}};
    {
        const OpenedClipboard clipboard(clipboard_);
        if (!clipboard.IsOpen()) return {NotOpened(cad.processId), {}};
        // A copy made since CAD's is neither CAD's history nor ours to replace.
        if (clipboard_.SequenceNumber() != cadCopy) return {Status::Busy, {}};
        read.text = clipboard_.Text().value_or(std::string());
        PutUsersContentBack();
    }
    return read;
}

HistoryRead::Status Acad8Ctrl::NotOpened(std::uint32_t cadProcess) {
    // CAD holding it open, or busy while its copy is on it, is CAD at work, not another program
    // in the way.
    const std::uint32_t opener = clipboard_.OpenerProcessId();
    const bool cads = opener == cadProcess || (opener == 0 && clipboard_.OwnerProcessId() == cadProcess);
    return cads ? HistoryRead::Status::Busy : HistoryRead::Status::Held;
}

HistoryRead::Status Acad8Ctrl::SettleClipboard(std::uint32_t cadProcess) {
    using Status = HistoryRead::Status;
    if (userContent_ && clipboard_.SequenceNumber() == userSequence_) return Status::Read;
    const std::uint32_t owner = clipboard_.OwnerProcessId();
    // CAD's copy, made after a read gave up on it; a CAD that names no owner is known by that
    // read alone.
    const bool cadsCopy =
        userContent_ && (owner == cadProcess || (owner == 0 && copyPendingFrom_ == cadProcess && cadProcess != 0));
    cadsCopyLeft_ = cadsCopy;
    if (cadsCopy && !clipboard_.OwnerResponds()) return Status::Busy;
    const OpenedClipboard clipboard(clipboard_);
    if (!clipboard.IsOpen()) return NotOpened(cadProcess);
    // Someone copied since the owner was asked: the next read looks again.
    if (clipboard_.OwnerProcessId() != owner) return Status::Busy;
    if (cadsCopy) {
        copyPendingFrom_ = 0;
        PutUsersContentBack();
    } else {
        TakeUsersContent();
    }
    return Status::Read;
}

void Acad8Ctrl::TakeUsersContent() {
    ClipboardContent content = clipboard_.Contents();
    // An empty clipboard stays empty: there is nothing to keep out of the history.
    if (!content.empty()) content.push_back({clipboard_.Format(kExcludeFromHistoryFormat), std::string(4, '\0')});
    userContent_ = std::make_shared<const ClipboardContent>(std::move(content));
    userSequence_ = clipboard_.SequenceNumber();
}

void Acad8Ctrl::PutUsersContentBack() {
    clipboard_.Put(userContent_);
    userSequence_ = clipboard_.SequenceNumber();
    cadsCopyLeft_ = false;
}

std::vector<std::uint8_t> AnsiRecordBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

std::vector<std::uint8_t> WideRecordBytes(std::u16string_view units, std::size_t ansiLength) {
    // The record's length follows the ANSI text; the zero unit follows the units produced,
    // and the bytes after it mean nothing (left zero here).
    std::vector<std::uint8_t> bytes(2 * (ansiLength + 1), 0);
    const std::size_t count = std::min(units.size(), ansiLength);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
    }
    return bytes;
}

std::string LastHistoryLine(std::string_view history) {
    auto isBlankOrControl = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    const auto first = std::find_if_not(history.begin(), history.end(), isBlankOrControl);
    const auto last = std::find_if_not(history.rbegin(), history.rend(), isBlankOrControl).base();
    if (first >= last) return {};
    const std::string_view trimmed(&*first, static_cast<std::size_t>(last - first));
    const std::size_t lineBreak = trimmed.find_last_of("\r\n");
    return std::string(lineBreak == std::string_view::npos ? trimmed : trimmed.substr(lineBreak + 1));
}
