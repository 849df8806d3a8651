#include "Readers_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "testsupport/Desktop_win.h"
#include "testsupport/InspectorProtocol.h"
#include "testsupport/UniqueHandle_win.h"

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x440;
constexpr int kFileNameComboId = 0x47C;
constexpr int kFileNameEditId = 0x480;

std::string DesignerName(HWND hwnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, "DesignerName")));
    if (atom == 0) return {};
    char buffer[256] = {};
    GlobalGetAtomNameA(atom, buffer, sizeof buffer);
    return buffer;
}

std::string MessageName(UINT msg) {
    char name[16];
    std::snprintf(name, sizeof name, "0x%04X", msg);
    return name;
}

std::string WideToUtf8(std::wstring_view wide) { return CodePageFromWide(wide, CP_UTF8); }

LRESULT SendAnswered(decltype(&SendMessageTimeoutA) send, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!send(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        throw Failure("window does not answer message " + MessageName(msg));
    return static_cast<LRESULT>(result);
}

// Fetches a text with a length query and a get query, in UTF-8. The text may grow between
// the two (a label counting up), so the buffer has a spare unit: a text that fills it may have
// been cut and is fetched again.
std::string FetchText(HWND hwnd, UINT lengthMsg, UINT textMsg, WPARAM index, bool indexFirst) {
    constexpr int kTries = 5;
    std::wstring text;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        auto length = SendW(hwnd, lengthMsg, indexFirst ? index : 0, 0);
        if (length < 0) return {};
        text.assign(static_cast<size_t>(length) + 2, L'\0');
        auto copied = indexFirst ? SendW(hwnd, textMsg, index, reinterpret_cast<LPARAM>(text.data()))
                                 : SendW(hwnd, textMsg, text.size(), reinterpret_cast<LPARAM>(text.data()));
        if (copied < 0) return {};
        if (static_cast<size_t>(copied) < text.size() - 1) break;
    }
    text.resize(std::min(text.find(L'\0'), text.size() - 1));
    return WideToUtf8(text);
}

std::string MessageText(HWND hwnd) { return FetchText(hwnd, WM_GETTEXTLENGTH, WM_GETTEXT, 0, false); }

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

std::string ListBoxText(HWND hwnd) {
    auto count = Send(hwnd, LB_GETCOUNT, 0, 0);
    std::string text = "count=" + std::to_string(count) + "\r\n";
    for (LRESULT i = 0; i < count; ++i)
        text += FetchText(hwnd, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(i), true) + "\r\n";
    return text;
}

// Tree items live in the other process, so the item record and its text buffer are placed
// in that process's memory and read back from there.
class RemoteBuffer {
public:
    RemoteBuffer(HWND hwnd, size_t size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (!process_) throw Failure("cannot open the process of the tree view");
        memory_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (!memory_) throw Failure("cannot allocate memory in the process of the tree view");
    }
    ~RemoteBuffer() { VirtualFreeEx(process_.get(), memory_, 0, MEM_RELEASE); }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* Address() const { return static_cast<char*>(memory_); }
    void Write(size_t offset, const void* data, size_t size) {
        if (!WriteProcessMemory(process_.get(), Address() + offset, data, size, nullptr))
            throw Failure("cannot write to the process of the tree view");
    }
    void Read(size_t offset, void* data, size_t size) {
        if (!ReadProcessMemory(process_.get(), Address() + offset, data, size, nullptr))
            throw Failure("cannot read from the process of the tree view");
    }

private:
    UniqueHandle process_;
    void* memory_ = nullptr;
};

// One line per node: two blanks of indent per level, the node text, TAB, the image index.
std::string TreeText(HWND hwnd) {
    constexpr size_t kTextChars = 1024;
    constexpr size_t kTextOffset = sizeof(TVITEMW);
    RemoteBuffer remote(hwnd, kTextOffset + kTextChars * sizeof(wchar_t));
    std::string text;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int depth) {
        for (int guard = 0; item && guard < 100000; ++guard) {
            TVITEMW record{};
            record.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
            record.hItem = item;
            record.pszText = reinterpret_cast<wchar_t*>(remote.Address() + kTextOffset);
            record.cchTextMax = static_cast<int>(kTextChars);
            wchar_t zero = 0;
            remote.Write(kTextOffset, &zero, sizeof zero);
            remote.Write(0, &record, sizeof record);
            SendW(hwnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()));
            remote.Read(0, &record, sizeof record);
            std::wstring label(kTextChars, L'\0');
            remote.Read(kTextOffset, label.data(), kTextChars * sizeof(wchar_t));
            label.resize(std::min(label.find(L'\0'), label.size()));
            text += std::string(static_cast<size_t>(depth) * 2, ' ') + WideToUtf8(label) + "\t" +
                    std::to_string(record.iImage) + "\n";
            auto child =
                reinterpret_cast<HTREEITEM>(SendW(hwnd, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
            walk(child, depth + 1);
            item = reinterpret_cast<HTREEITEM>(SendW(hwnd, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
        }
    };
    walk(reinterpret_cast<HTREEITEM>(SendW(hwnd, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0);
    return text;
}

bool IsClass(const std::string& cls, const char* name) { return lstrcmpiA(cls.c_str(), name) == 0; }

// In UTF-8.
std::string ControlText(HWND hwnd) {
    std::string cls = WindowClass(hwnd);
    if (IsClass(cls, "ListBox")) return ListBoxText(hwnd);
    if (IsClass(cls, WC_TREEVIEWA)) return TreeText(hwnd);
    return MessageText(hwnd);  // the string grids answer with their cell dump
}

HWND FindFileDialog() {
    for (HWND hwnd : VisibleDialogs())
        if (FileNameBox(hwnd)) return hwnd;
    return nullptr;
}

}  // namespace

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return SendAnswered(SendMessageTimeoutA, hwnd, msg, wp, lp); }

LRESULT SendW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return SendAnswered(SendMessageTimeoutW, hwnd, msg, wp, lp);
}

// A program may own hidden top-level windows with the same title, and its message boxes
// may carry its title as their caption; the visible window that is no dialog is the one meant.
HWND FindTopLevel(const std::string& title) {
    HWND best = nullptr;
    int bestRank = 0;
    for (HWND hwnd : TopLevelWindows()) {
        // A window whose title carries a status before its name ("… - Marlowen") counts too.
        const std::string shown = WindowTitle(hwnd);
        if (shown != title && !shown.ends_with(" - " + title)) continue;
        int rank = IsWindowVisible(hwnd) ? (WindowClass(hwnd) == "#32770" ? 2 : 3) : 1;
        if (rank > bestRank) {
            best = hwnd;
            bestRank = rank;
        }
    }
    return best;
}

HWND RequireTopLevel(const std::string& title) {
    HWND hwnd = FindTopLevel(title);
    if (!hwnd) throw Failure("no top-level window titled '" + title + "'");
    return hwnd;
}

HWND RequireControl(const std::string& title, const std::string& name) {
    HWND top = RequireTopLevel(title);
    if (DesignerName(top) == name) return top;
    for (HWND hwnd : Descendants(top))
        if (DesignerName(hwnd) == name) return hwnd;
    throw Failure("no control named '" + name + "' in '" + title + "'");
}

std::string WindowRectText(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return RectText(r);
}

std::string ClientRectText(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return RectText(r);
}

// name, class, control id, screen rect, state, text.
std::string ControlRecord(HWND hwnd) {
    std::string state = std::string(IsWindowEnabled(hwnd) ? "enabled" : "disabled") + "," +
                        (IsWindowVisible(hwnd) ? "visible" : "hidden");
    return inspector::Record({DesignerName(hwnd), AnsiToUtf8(WindowClass(hwnd)), std::to_string(GetDlgCtrlID(hwnd)),
                              WindowRectText(hwnd), state, ControlText(hwnd)});
}

std::vector<HWND> VisibleDialogs() {
    std::vector<HWND> dialogs;
    for (HWND hwnd : TopLevelWindows())
        if (IsWindowVisible(hwnd) && WindowClass(hwnd) == "#32770") dialogs.push_back(hwnd);
    return dialogs;
}

HWND FindDialog(const std::string& caption) {
    for (HWND hwnd : VisibleDialogs())
        if (WindowTitle(hwnd) == caption) return hwnd;
    return nullptr;
}

// caption, message text, rect, owning process id, owner window's title, icon shown or not.
// Wine keeps the icon control visible in a box without an icon; only its icon is missing.
std::string MessageBoxRecord(HWND hwnd) {
    HWND text = GetDlgItem(hwnd, kMessageTextId);
    HWND icon = GetDlgItem(hwnd, kMessageIconId);
    HWND owner = GetWindow(hwnd, GW_OWNER);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const bool iconShown = icon && IsWindowVisible(icon) && Send(icon, STM_GETICON, 0, 0);
    return inspector::Record({AnsiToUtf8(WindowTitle(hwnd)), text ? MessageText(text) : "", WindowRectText(hwnd),
                              std::to_string(pid), AnsiToUtf8(owner ? WindowTitle(owner) : ""),
                              iconShown ? "icon" : "noicon"});
}

HWND FileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, kFileNameComboId)) {
        if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(dialog, kFileNameEditId);
}

HWND WaitFileDialog(DWORD timeoutMs) {
    HWND dialog = nullptr;
    if (!WaitUntil(timeoutMs, [&] { return (dialog = FindFileDialog()) != nullptr; }))
        throw Failure("no file dialog appeared");
    return dialog;
}

void EndDialog(HWND dialog, int button, DWORD timeoutMs) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    if (!WaitUntil(timeoutMs, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
        throw Failure("the dialog '" + WindowTitle(dialog) + "' stayed open");
}
