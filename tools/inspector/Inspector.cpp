// inspector: looks at another program's windows from outside and works them like a user,
// for the end-to-end tests. Runs under Wine in the same prefix and display as the program.
//
//   inspector.exe COMMAND ARG...   one command; its output on stdout; exit code 0 when it
//                                  succeeded, 1 when it failed (reason on stdout as "error: ..."),
//                                  2 for an unknown command or wrong arguments.
//   inspector.exe serve            commands from stdin, one per line, arguments separated by TAB;
//                                  each answer ends with a line "\x1E" + exit code (+ " " + reason).
//
// Arguments and output are UTF-8 (error reasons too); window texts are read as ANSI (code page 932) and
// converted, so callers compare readable literals. Output fields are separated by TAB and a
// record is one line: inside a field "\\", TAB, CR, LF and other control bytes are escaped
// as \\ \t \r \n \xNN.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "testsupport/Desktop_win.h"
#include "testsupport/Wait.h"

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kDefaultWaitMs = 10000;
constexpr DWORD kPollPauseMs = 50;
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x440;
constexpr int kFileNameComboId = 0x47C;
constexpr int kFileNameEditId = 0x480;

constexpr char kUsage[] =
    "usage: inspector.exe COMMAND ARG...  |  inspector.exe serve\n"
    "  wait-window TITLE [MS]         wait for a visible top-level window with this title\n"
    "  wait-gone TITLE [MS]           wait until no top-level window has this title\n"
    "  rect TITLE                     outer rect: left top right bottom\n"
    "  client TITLE                   client area in screen coordinates: left top right bottom\n"
    "  controls TITLE                 one record per descendant window (see control)\n"
    "  control TITLE NAME             name TAB class TAB id TAB rect TAB enabled|disabled,visible|hidden TAB text\n"
    "                                 (list box: count=N CR LF + items; tree: indented node TAB image lines)\n"
    "  center TITLE NAME              screen centre of the control: x y\n"
    "  msgboxes                       caption TAB text TAB rect TAB pid TAB owner title TAB icon|noicon\n"
    "  wait-msgbox CAPTION [MS]       wait for that message box and print its record\n"
    "  press-ok CAPTION               press OK in that message box and wait until it is gone\n"
    "  click TITLE NAME               post BM_CLICK to the control\n"
    "  set-text TITLE NAME TEXT       WM_SETTEXT\n"
    "  close TITLE                    post WM_CLOSE\n"
    "  raise TITLE                    bring the window above the others, as a click on it would, and its\n"
    "                                 message box above it\n"
    "  expand TITLE NAME              open every top node of the tree view, as a click on its + does,\n"
    "                                 and scroll back to the first\n"
    "  cputime TITLE                  processor time of the window's process so far (its live threads), in ms:\n"
    "                                 kernel user\n"
    "  processes                      one line per process of the prefix: pid TAB executable file name\n"
    "  filedialog-choose PATH [MS]    type PATH into the open-file dialog and press Open\n"
    "  filedialog-cancel [MS]         press Cancel in the open-file dialog\n"
    "  version FILE                   the file's version record: file version (numeric) TAB its text TAB\n"
    "                                 product version (numeric) TAB its text TAB language-code page (hex)\n"
    "  clipboard-put TEXT FORMAT HEX  a user's copy: TEXT as Unicode text, and the bytes HEX in the registered\n"
    "                                 format FORMAT\n"
    "  clipboard FORMAT               the clipboard: its Unicode text TAB the bytes of FORMAT in hex TAB\n"
    "                                 marked|unmarked (kept out of the clipboard history)\n"
    "TITLE and NAME match exactly; NAME is the DesignerName window property (a global atom).\n";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string Convert(const std::string& text, UINT from, UINT to) {
    if (text.empty()) return {};
    int wideLength = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, result.data(), length, nullptr, nullptr);
    return result;
}
std::string AnsiToUtf8(const std::string& text) { return Convert(text, CP_ACP, CP_UTF8); }
std::string Utf8ToAnsi(const std::string& text) { return Convert(text, CP_UTF8, CP_ACP); }

std::string Escape(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

DWORD ParseMs(const std::string& text) {
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') throw UsageError("not a number of milliseconds: " + text);
    return static_cast<DWORD>(value);
}

// Waits by polling, since the windows belong to another process and send us nothing.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    return PollUntil(done, timeoutMs, [] { Sleep(kPollPauseMs); });
}

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

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        throw Failure("window does not answer message " + MessageName(msg));
    return static_cast<LRESULT>(result);
}

// Texts are fetched as UTF-16: Wine hands an ANSI caller of another process the raw UTF-16
// items of a list box, while the UTF-16 path converts correctly for every window kind.
LRESULT SendW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        throw Failure("window does not answer message " + MessageName(msg));
    return static_cast<LRESULT>(result);
}

std::string WideToUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

// Fetches a text with a length query and a get query, in UTF-8.
std::string FetchText(HWND hwnd, UINT lengthMsg, UINT textMsg, WPARAM index, bool indexFirst) {
    auto length = SendW(hwnd, lengthMsg, indexFirst ? index : 0, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    auto copied = indexFirst ? SendW(hwnd, textMsg, index, reinterpret_cast<LPARAM>(text.data()))
                             : SendW(hwnd, textMsg, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : std::min(static_cast<size_t>(copied), text.size() - 1));
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return WideToUtf8(text);
}

std::string MessageText(HWND hwnd) { return FetchText(hwnd, WM_GETTEXTLENGTH, WM_GETTEXT, 0, false); }

// A program may own hidden top-level windows with the same title, and its message boxes
// may carry its title as their caption; the visible window that is no dialog is the one meant.
HWND FindTopLevel(const std::string& title) {
    HWND best = nullptr;
    int bestRank = 0;
    for (HWND hwnd : TopLevelWindows()) {
        if (WindowTitle(hwnd) != title) continue;
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

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
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
    RemoteBuffer(HWND hwnd, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (!process_) throw Failure("cannot open the process of the tree view");
        memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (!memory_) {
            CloseHandle(process_);
            throw Failure("cannot allocate memory in the process of the tree view");
        }
    }
    ~RemoteBuffer() {
        VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* Address() const { return static_cast<char*>(memory_); }
    void Write(size_t offset, const void* data, size_t size) {
        if (!WriteProcessMemory(process_, Address() + offset, data, size, nullptr))
            throw Failure("cannot write to the process of the tree view");
    }
    void Read(size_t offset, void* data, size_t size) {
        if (!ReadProcessMemory(process_, Address() + offset, data, size, nullptr))
            throw Failure("cannot read from the process of the tree view");
    }
    size_t Size() const { return size_; }

private:
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
    size_t size_;
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

// name, class, control id, screen rect, state, text.
std::string ControlRecord(HWND hwnd) {
    std::string state = std::string(IsWindowEnabled(hwnd) ? "enabled" : "disabled") + "," +
                        (IsWindowVisible(hwnd) ? "visible" : "hidden");
    return Escape(DesignerName(hwnd)) + "\t" + Escape(AnsiToUtf8(WindowClass(hwnd))) + "\t" +
           std::to_string(GetDlgCtrlID(hwnd)) + "\t" + WindowRectText(hwnd) + "\t" + state + "\t" +
           Escape(ControlText(hwnd)) + "\n";
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
    return Escape(AnsiToUtf8(WindowTitle(hwnd))) + "\t" + Escape(text ? MessageText(text) : "") + "\t" +
           WindowRectText(hwnd) + "\t" + std::to_string(pid) + "\t" +
           Escape(AnsiToUtf8(owner ? WindowTitle(owner) : "")) + "\t" +
           (icon && IsWindowVisible(icon) && Send(icon, STM_GETICON, 0, 0) ? "icon" : "noicon") + "\n";
}

HWND FileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, kFileNameComboId)) {
        if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(dialog, kFileNameEditId);
}

HWND FindFileDialog() {
    for (HWND hwnd : VisibleDialogs())
        if (FileNameBox(hwnd)) return hwnd;
    return nullptr;
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

// FILETIME counts 100 ns units.
unsigned long long FileTimeMs(const FILETIME& time) {
    return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
}

// Kernel and user time of the process that owns the window, summed over its live threads'
// own counters: Wine's GetProcessTimes answers with the caller's times whatever process it
// is asked about, while its GetThreadTimes reads the thread's real counters.
std::string ProcessTimesText(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) throw Failure("cannot list the threads of process " + std::to_string(pid));
    unsigned long long kernelMs = 0, userMs = 0;
    int counted = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;  // ended since the snapshot
        FILETIME created{}, exited{}, kernel{}, user{};
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            kernelMs += FileTimeMs(kernel);
            userMs += FileTimeMs(user);
            ++counted;
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    if (counted == 0) throw Failure("cannot read the processor times of process " + std::to_string(pid));
    return std::to_string(kernelMs) + " " + std::to_string(userMs) + "\n";
}

std::string ProcessList() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) throw Failure("cannot list the processes");
    std::string out;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        out += std::to_string(entry.th32ProcessID) + "\t" + Escape(AnsiToUtf8(entry.szExeFile)) + "\n";
    CloseHandle(snapshot);
    return out;
}

// The version record as Windows reads it for the file's properties: the numeric file and
// product versions, and the texts of the first language and code page it lists.
std::string VersionText(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) throw Failure("no version record in " + path);
    std::vector<char> record(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, record.data()))
        throw Failure("cannot read the version record of " + path);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        throw Failure("the version record of " + path + " has no fixed part");
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    if (!VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation)
        throw Failure("the version record of " + path + " lists no language");
    char block[16];
    std::snprintf(block, sizeof block, "%04X%04X", translation->language, translation->codePage);
    const auto text = [&](const char* name) {
        char* value = nullptr;
        UINT chars = 0;
        const std::string key = std::string("\\StringFileInfo\\") + block + "\\" + name;
        if (!VerQueryValueA(record.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars) || !value)
            return std::string();
        return Escape(AnsiToUtf8(value));
    };
    const auto numbers = [](DWORD high, DWORD low) {
        return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
               "." + std::to_string(LOWORD(low));
    };
    return numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + "\t" + text("FileVersion") + "\t" +
           numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS) + "\t" + text("ProductVersion") + "\t" +
           block + "\n";
}

// Opening the clipboard asks its owner first, which may be busy for a moment.
void OpenTheClipboard() {
    if (!WaitUntil(kDefaultWaitMs, [] { return OpenClipboard(nullptr) != FALSE; }))
        throw Failure("the clipboard cannot be opened");
}

void PutClipboard(const std::string& text, const std::string& format, const std::string& hex) {
    if (hex.size() % 2 != 0) throw UsageError("HEX needs two digits a byte");
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    const std::string utf8 = AnsiToUtf8(text);
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    const auto put = [](UINT id, const void* data, size_t size) {
        // One zero byte more, as the text's own ending zero.
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + 1);
        std::memcpy(GlobalLock(memory), data, size);
        GlobalUnlock(memory);
        if (!SetClipboardData(id, memory)) GlobalFree(memory);
    };
    OpenTheClipboard();
    EmptyClipboard();
    put(CF_UNICODETEXT, wide.c_str(), wide.size() * sizeof(wchar_t));
    put(RegisterClipboardFormatA(format.c_str()), bytes.data(), bytes.size());
    CloseClipboard();
}

std::string ClipboardRecord(const std::string& format) {
    OpenTheClipboard();
    std::string text, hex;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = WideToUtf8(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
    }
    if (HANDLE data = GetClipboardData(RegisterClipboardFormatA(format.c_str()))) {
        const auto* bytes = static_cast<const unsigned char*>(GlobalLock(data));
        // The put-down bytes and the zero after them.
        for (size_t i = 0; i + 1 < GlobalSize(data); ++i) {
            char two[3];
            std::snprintf(two, sizeof two, "%02x", bytes[i]);
            hex += two;
        }
        GlobalUnlock(data);
    }
    const bool marked =
        IsClipboardFormatAvailable(RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing")) != FALSE;
    CloseClipboard();
    return Escape(text) + "\t" + hex + "\t" + (marked ? "marked" : "unmarked") + "\n";
}

using Args = std::vector<std::string>;  // ANSI, the command name first

void Need(const Args& args, size_t least, size_t most, const char* usage) {
    if (args.size() < least + 1 || args.size() > most + 1) throw UsageError(std::string("usage: ") + usage);
}

std::string RunCommand(const Args& args) {
    if (args.empty() || args[0].empty()) throw UsageError("no command");
    const std::string& command = args[0];
    if (command == "wait-window") {
        Need(args, 1, 2, "wait-window TITLE [MS]");
        DWORD ms = args.size() > 2 ? ParseMs(args[2]) : kDefaultWaitMs;
        if (!WaitUntil(ms, [&] {
                HWND h = FindTopLevel(args[1]);
                return h && IsWindowVisible(h);
            }))
            throw Failure("no visible window titled '" + args[1] + "' within " + std::to_string(ms) + " ms");
        return {};
    }
    if (command == "wait-gone") {
        Need(args, 1, 2, "wait-gone TITLE [MS]");
        DWORD ms = args.size() > 2 ? ParseMs(args[2]) : kDefaultWaitMs;
        if (!WaitUntil(ms, [&] { return FindTopLevel(args[1]) == nullptr; }))
            throw Failure("the window titled '" + args[1] + "' is still there");
        return {};
    }
    if (command == "rect") {
        Need(args, 1, 1, "rect TITLE");
        return WindowRectText(RequireTopLevel(args[1])) + "\n";
    }
    if (command == "client") {
        Need(args, 1, 1, "client TITLE");
        return ClientRectText(RequireTopLevel(args[1])) + "\n";
    }
    if (command == "controls") {
        Need(args, 1, 1, "controls TITLE");
        std::string out;
        for (HWND hwnd : Descendants(RequireTopLevel(args[1]))) out += ControlRecord(hwnd);
        return out;
    }
    if (command == "control") {
        Need(args, 2, 2, "control TITLE NAME");
        return ControlRecord(RequireControl(args[1], args[2]));
    }
    if (command == "center") {
        Need(args, 2, 2, "center TITLE NAME");
        RECT r{};
        GetWindowRect(RequireControl(args[1], args[2]), &r);
        return std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2) + "\n";
    }
    if (command == "msgboxes") {
        Need(args, 0, 0, "msgboxes");
        std::string out;
        for (HWND hwnd : VisibleDialogs())
            if (!FileNameBox(hwnd)) out += MessageBoxRecord(hwnd);
        return out;
    }
    if (command == "wait-msgbox") {
        Need(args, 1, 2, "wait-msgbox CAPTION [MS]");
        DWORD ms = args.size() > 2 ? ParseMs(args[2]) : kDefaultWaitMs;
        HWND box = nullptr;
        if (!WaitUntil(ms, [&] { return (box = FindDialog(args[1])) != nullptr; }))
            throw Failure("no message box captioned '" + args[1] + "'");
        return MessageBoxRecord(box);
    }
    if (command == "press-ok") {
        Need(args, 1, 1, "press-ok CAPTION");
        HWND box = FindDialog(args[1]);
        if (!box) throw Failure("no message box captioned '" + args[1] + "'");
        EndDialog(box, IDOK, kDefaultWaitMs);
        return {};
    }
    if (command == "click") {
        Need(args, 2, 2, "click TITLE NAME");
        // Posted, so a click whose handler opens a modal dialog does not hold us up.
        PostMessageA(RequireControl(args[1], args[2]), BM_CLICK, 0, 0);
        return {};
    }
    if (command == "set-text") {
        Need(args, 3, 3, "set-text TITLE NAME TEXT");
        Send(RequireControl(args[1], args[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[3].c_str()));
        return {};
    }
    if (command == "expand") {
        Need(args, 2, 2, "expand TITLE NAME");
        HWND tree = RequireControl(args[1], args[2]);
        const auto first = reinterpret_cast<HTREEITEM>(SendW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (HTREEITEM item = first; item; item = reinterpret_cast<HTREEITEM>(
                                               SendW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
            SendW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        if (first) SendW(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(first));
        return {};
    }
    if (command == "close") {
        Need(args, 1, 1, "close TITLE");
        PostMessageA(RequireTopLevel(args[1]), WM_CLOSE, 0, 0);
        return {};
    }
    if (command == "raise") {
        Need(args, 1, 1, "raise TITLE");
        // Activating raises the window under Wine, where SetWindowPos(HWND_TOP) from another
        // process leaves it below; its message box would stay beneath it, so that comes next.
        // The window's own thread carries out each activation: the next one waits for it.
        const auto activate = [](HWND hwnd) {
            SetForegroundWindow(hwnd);
            if (!WaitUntil(kDefaultWaitMs, [&] { return GetForegroundWindow() == hwnd; }))
                throw Failure("cannot activate '" + AnsiToUtf8(WindowTitle(hwnd)) + "'");
        };
        HWND window = RequireTopLevel(args[1]);
        activate(window);
        for (HWND box : VisibleDialogs())
            if (GetWindow(box, GW_OWNER) == window) activate(box);
        return {};
    }
    if (command == "cputime") {
        Need(args, 1, 1, "cputime TITLE");
        return ProcessTimesText(RequireTopLevel(args[1]));
    }
    if (command == "processes") {
        Need(args, 0, 0, "processes");
        return ProcessList();
    }
    if (command == "filedialog-choose") {
        Need(args, 1, 2, "filedialog-choose PATH [MS]");
        DWORD ms = args.size() > 2 ? ParseMs(args[2]) : kDefaultWaitMs;
        HWND dialog = WaitFileDialog(ms);
        Send(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()));
        EndDialog(dialog, IDOK, ms);
        return {};
    }
    if (command == "filedialog-cancel") {
        Need(args, 0, 1, "filedialog-cancel [MS]");
        DWORD ms = args.size() > 1 ? ParseMs(args[1]) : kDefaultWaitMs;
        EndDialog(WaitFileDialog(ms), IDCANCEL, ms);
        return {};
    }
    if (command == "version") {
        Need(args, 1, 1, "version FILE");
        return VersionText(args[1]);
    }
    if (command == "clipboard-put") {
        Need(args, 3, 3, "clipboard-put TEXT FORMAT HEX");
        PutClipboard(args[1], args[2], args[3]);
        return {};
    }
    if (command == "clipboard") {
        Need(args, 1, 1, "clipboard FORMAT");
        return ClipboardRecord(args[1]);
    }
    throw UsageError("unknown command: " + command);
}

// Returns the exit code: 0 done, 1 failed, 2 misused; on failure, error says why.
int Execute(const Args& args, std::string& out, std::string& error) {
    try {
        out = RunCommand(args);
        return 0;
    } catch (const UsageError& e) {
        error = e.what();
        return 2;
    } catch (const std::exception& e) {
        error = e.what();
        return 1;
    }
}

void WriteOut(const std::string& text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool ReadLine(std::string& line) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    line.clear();
    for (;;) {
        char c = 0;
        DWORD got = 0;
        if (!ReadFile(in, &c, 1, &got, nullptr) || got == 0) return !line.empty();
        if (c == '\n') return true;
        if (c != '\r') line += c;
    }
}

int Serve() {
    std::string line;
    while (ReadLine(line)) {
        Args args;
        size_t start = 0;
        for (;;) {
            size_t tab = line.find('\t', start);
            args.push_back(Utf8ToAnsi(line.substr(start, tab - start)));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        std::string out, error;
        int code = Execute(args, out, error);
        // The reason is one line, so it cannot be taken for the end of the answer.
        out += '\x1E';
        out += std::to_string(code);
        if (code) {
            out += ' ';
            out += Escape(AnsiToUtf8(error));
        }
        out += '\n';
        WriteOut(out);
    }
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Args args;
    for (int i = 1; i < argc; ++i) {
        int length = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<size_t>(length > 0 ? length - 1 : 0), '\0');
        WideCharToMultiByte(CP_ACP, 0, argv[i], -1, arg.data(), length, nullptr, nullptr);
        args.push_back(arg);
    }
    LocalFree(argv);
    if (args.empty()) {
        WriteOut(kUsage);
        return 2;
    }
    if (args[0] == "serve" && args.size() == 1) return Serve();
    std::string out, error;
    int code = Execute(args, out, error);
    WriteOut(code ? "error: " + AnsiToUtf8(error) + "\n" : out);
    return code;
}
