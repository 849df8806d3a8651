#include "Acad8Ctrl.h"

#include <algorithm>
#include <utility>

#include "text/AppError.h"

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
// What the user's content is put back with, so that the system's clipboard history, which has
// recorded it once already, does not record it again at every read.
constexpr std::string_view kExcludeFromHistoryFormat = "ExcludeClipboardContentFromMonitorProcessing";

std::string Comparable(std::string text) {
    text.resize(std::min({text.size(), text.find('\0'), kCompareLimit}));
    return text;
}

std::string ReadTitle(WindowSystem& ws, WindowHandle w) { return Comparable(ws.Title(w)); }
std::string ReadClass(WindowSystem& ws, WindowHandle w) { return Comparable(ws.ClassName(w)); }

// The clipboard stays open only while this lives; a failed opening is the one error the
// CAD link reports.
class OpenedClipboard {
public:
    explicit OpenedClipboard(WindowSystem& ws) : ws_(ws) {
        if (!ws_.OpenClipboard()) throw AppError("クリップボードを開くことができません");
    }
    ~OpenedClipboard() { ws_.CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

private:
    WindowSystem& ws_;
};

}  // namespace

bool Acad8Ctrl::FindAcadWindows() {
    AcadMainWnd = 0;
    AcadTextWnd = 0;
    CommandPaneWnd = 0;
    HistoryPaneWnd = 0;

    ws_.EnumTopLevel([this](WindowHandle w) {
        const std::string title = ReadTitle(ws_, w);
        if (title.empty()) return true;
        if (!title.starts_with(kAutoCadTitle) && !title.starts_with(kAutodeskTitle)) return true;
        if (!ReadClass(ws_, w).starts_with(kMainClass)) return true;
        AcadMainWnd = w;
        AcadProcessId = ws_.ProcessId(w);
        return false;
    });

    ws_.EnumTopLevel([this](WindowHandle w) {
        const std::string title = ReadTitle(ws_, w);
        if (title.empty() || !title.starts_with(kAutoCadTitle)) return true;
        if (!ReadClass(ws_, w).starts_with(kTextClass)) return true;
        if (title.find(kTextWindowTitle) == std::string::npos) return true;
        // No window has process 0; one that vanished since its title was read reports it.
        if (AcadProcessId == 0 || ws_.ProcessId(w) != AcadProcessId) return true;
        AcadTextWnd = w;
        return false;
    });

    if (AcadTextWnd == 0) return false;

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
    return true;
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

std::string Acad8Ctrl::GetControlText(WindowHandle w) {
    const std::intptr_t length = ws_.SendGetTextLength(w);
    if (length <= 0) return {};
    return ws_.SendGetText(w, static_cast<std::size_t>(length) + 1);
}

std::string Acad8Ctrl::GetCommandPaneText() {
    if (!FindAcadWindows()) return {};
    return GetControlText(CommandPaneWnd);
}

std::string Acad8Ctrl::CopyAcadHistory() {
    if (!FindAcadWindows() || !ws_.IsWindow(AcadTextWnd)) return {};
    KeepUserClipboard();
    const std::uint32_t before = ws_.ClipboardSequenceNumber();
    // CAD has put its history on the clipboard by the time the command returns.
    ws_.SendCommand(AcadTextWnd, kCopyHistoryCommand);
    const std::uint32_t cadCopy = ws_.ClipboardSequenceNumber();
    // An unchanged clipboard is not CAD's copy: what it holds is the user's. CAD copied nothing,
    // or could not because another program holds the clipboard, which is the error to report.
    if (cadCopy == before) {
        const OpenedClipboard heldElsewhere(ws_);
        return {};
    }
    cadCopyLeft_ = cadCopy;
    std::string history;
    {
        OpenedClipboard clipboard(ws_);
        // A copy made since CAD's is neither CAD's history nor ours to replace.
        if (ws_.ClipboardSequenceNumber() != cadCopy) return {};
        history = ws_.ClipboardText().value_or(std::string());
        ws_.PutClipboardContents(userClipboard_);
    }
    userClipboardSequence_ = ws_.ClipboardSequenceNumber();
    cadCopyLeft_.reset();
    return history;
}

void Acad8Ctrl::KeepUserClipboard() {
    const std::uint32_t now = ws_.ClipboardSequenceNumber();
    if (userClipboard_ && (now == userClipboardSequence_ || now == cadCopyLeft_)) return;
    OpenedClipboard clipboard(ws_);
    ClipboardContent content = ws_.ClipboardContents();
    // An empty clipboard stays empty: there is nothing to keep out of the history.
    if (!content.empty()) content.push_back({ws_.ClipboardFormat(kExcludeFromHistoryFormat), std::string(4, '\0')});
    userClipboard_ = std::make_shared<const ClipboardContent>(std::move(content));
    userClipboardSequence_ = ws_.ClipboardSequenceNumber();
    cadCopyLeft_.reset();
}

std::string Acad8Ctrl::GetLastHistoryLine() { return LastHistoryLine(CopyAcadHistory()); }

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
