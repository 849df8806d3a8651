#include "Commands_win.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "Readers_win.h"
#include "testsupport/Desktop_win.h"
#include "testsupport/InspectorProtocol.h"

namespace {

DWORD ParseMs(const std::string& text) {
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') throw UsageError("not a number of milliseconds: " + text);
    return static_cast<DWORD>(value);
}

// The optional [MS] at args[at].
DWORD WaitMs(const Args& args, size_t at) { return args.size() > at ? ParseMs(args[at]) : kDefaultWaitMs; }

std::string WaitWindow(const Args& a) {
    const DWORD ms = WaitMs(a, 2);
    if (!WaitUntil(ms, [&] {
            HWND h = FindTopLevel(a[1]);
            return h && IsWindowVisible(h);
        }))
        throw Failure("no visible window titled '" + a[1] + "' within " + std::to_string(ms) + " ms");
    return {};
}

std::string WaitGone(const Args& a) {
    if (!WaitUntil(WaitMs(a, 2), [&] { return FindTopLevel(a[1]) == nullptr; }))
        throw Failure("the window titled '" + a[1] + "' is still there");
    return {};
}

std::string Controls(const Args& a) {
    std::string out;
    for (HWND hwnd : Descendants(RequireTopLevel(a[1]))) out += ControlRecord(hwnd);
    return out;
}

std::string Center(const Args& a) {
    RECT r{};
    GetWindowRect(RequireControl(a[1], a[2]), &r);
    return inspector::Record({std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2)});
}

std::string MessageBoxes(const Args&) {
    std::string out;
    for (HWND hwnd : VisibleDialogs())
        if (!FileNameBox(hwnd)) out += MessageBoxRecord(hwnd);
    return out;
}

std::string WaitMessageBox(const Args& a) {
    HWND box = nullptr;
    if (!WaitUntil(WaitMs(a, 2), [&] { return (box = FindDialog(a[1])) != nullptr; }))
        throw Failure("no message box captioned '" + a[1] + "'");
    return MessageBoxRecord(box);
}

std::string PressOk(const Args& a) {
    HWND box = FindDialog(a[1]);
    if (!box) throw Failure("no message box captioned '" + a[1] + "'");
    EndDialog(box, IDOK, kDefaultWaitMs);
    return {};
}

std::string Press(const Args& a) {
    static const std::pair<const char*, int> kButtons[] = {
        {"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
    HWND box = FindDialog(a[1]);
    if (!box) throw Failure("no message box captioned '" + a[1] + "'");
    for (const auto& [name, id] : kButtons) {
        if (a[2] != name) continue;
        EndDialog(box, id, kDefaultWaitMs);
        return {};
    }
    throw UsageError("no button named '" + a[2] + "': ok, cancel, yes or no");
}

std::string Expand(const Args& a) {
    HWND tree = RequireControl(a[1], a[2]);
    const auto next = [&](HTREEITEM item, WPARAM which) {
        return reinterpret_cast<HTREEITEM>(SendW(tree, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item)));
    };
    const HTREEITEM first = next(nullptr, TVGN_ROOT);
    for (HTREEITEM item = first; item; item = next(item, TVGN_NEXT))
        SendW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    if (first) SendW(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(first));
    return {};
}

std::string Raise(const Args& a) {
    // Activating raises the window under Wine, where SetWindowPos(HWND_TOP) from another
    // process leaves it below; its message box would stay beneath it, so that comes next.
    // The window's own thread carries out each activation: the next one waits for it.
    const auto activate = [](HWND hwnd) {
        SetForegroundWindow(hwnd);
        if (!WaitUntil(kDefaultWaitMs, [&] { return GetForegroundWindow() == hwnd; }))
            throw Failure("cannot activate '" + AnsiToUtf8(WindowTitle(hwnd)) + "'");
    };
    HWND window = RequireTopLevel(a[1]);
    activate(window);
    for (HWND box : VisibleDialogs())
        if (GetWindow(box, GW_OWNER) == window) activate(box);
    return {};
}

std::string ChooseFile(const Args& a) {
    const DWORD ms = WaitMs(a, 2);
    HWND dialog = WaitFileDialog(ms);
    Send(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()));
    EndDialog(dialog, IDOK, ms);
    return {};
}

std::string CancelFile(const Args& a) {
    const DWORD ms = WaitMs(a, 1);
    EndDialog(WaitFileDialog(ms), IDCANCEL, ms);
    return {};
}

struct Command {
    // The name, then the arguments; one in brackets may be left out. The argument check
    // reads its counts from here.
    const char* usage;
    // What it does and prints; a line break goes on in the column of the first line.
    const char* does;
    std::string (*run)(const Args& args);
};

const Command kCommands[] = {
    {"wait-window TITLE [MS]", "wait for a visible top-level window with this title", WaitWindow},
    {"wait-gone TITLE [MS]", "wait until no top-level window has this title", WaitGone},
    {"title TITLE", "the window's whole title",
     [](const Args& a) { return inspector::Record({AnsiToUtf8(WindowTitle(RequireTopLevel(a[1])))}); }},
    {"rect TITLE", "outer rect: left top right bottom",
     [](const Args& a) { return inspector::Record({WindowRectText(RequireTopLevel(a[1]))}); }},
    {"client TITLE", "client area in screen coordinates: left top right bottom",
     [](const Args& a) { return inspector::Record({ClientRectText(RequireTopLevel(a[1]))}); }},
    {"controls TITLE", "one record per descendant window (see control)", Controls},
    {"control TITLE NAME",
     "name TAB class TAB id TAB rect TAB enabled|disabled,visible|hidden TAB text\n"
     "(list box: count=N CR LF + items; tree: indented node TAB image lines)",
     [](const Args& a) { return ControlRecord(RequireControl(a[1], a[2])); }},
    {"center TITLE NAME", "screen centre of the control: x y", Center},
    {"msgboxes", "caption TAB text TAB rect TAB pid TAB owner title TAB icon|noicon", MessageBoxes},
    {"wait-msgbox CAPTION [MS]", "wait for that message box and print its record", WaitMessageBox},
    {"press-ok CAPTION", "press OK in that message box and wait until it is gone", PressOk},
    {"press CAPTION BUTTON", "press ok, cancel, yes or no in that message box and wait until it is gone", Press},
    {"click TITLE NAME", "post BM_CLICK to the control",
     [](const Args& a) {
         // Posted, so a click whose handler opens a modal dialog does not hold us up.
         PostMessageA(RequireControl(a[1], a[2]), BM_CLICK, 0, 0);
         return std::string();
     }},
    {"pointer X Y", "move the mouse pointer to that point of the screen",
     [](const Args& a) {
         if (!SetCursorPos(std::stoi(a[1]), std::stoi(a[2]))) throw Failure("SetCursorPos failed");
         return std::string();
     }},
    {"set-text TITLE NAME TEXT", "WM_SETTEXT",
     [](const Args& a) {
         Send(RequireControl(a[1], a[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[3].c_str()));
         return std::string();
     }},
    {"close TITLE", "post WM_CLOSE",
     [](const Args& a) {
         PostMessageA(RequireTopLevel(a[1]), WM_CLOSE, 0, 0);
         return std::string();
     }},
    {"raise TITLE",
     "bring the window above the others, as a click on it would, and its\n"
     "message box above it",
     Raise},
    {"expand TITLE NAME",
     "open every top node of the tree view, as a click on its + does,\n"
     "and scroll back to the first",
     Expand},
    {"cputime TITLE",
     "processor time of the window's process so far (its live threads), in ms:\n"
     "kernel user",
     [](const Args& a) { return ProcessTimesText(RequireTopLevel(a[1])); }},
    {"processes", "one line per process of the prefix: pid TAB executable file name",
     [](const Args&) { return ProcessList(); }},
    {"filedialog-choose PATH [MS]", "type PATH into the open-file dialog and press Open", ChooseFile},
    {"filedialog-cancel [MS]", "press Cancel in the open-file dialog", CancelFile},
    {"version FILE",
     "the file's version record: file version (numeric) TAB its text TAB\n"
     "product version (numeric) TAB its text TAB language-code page (hex)",
     [](const Args& a) { return VersionText(a[1]); }},
    {"clipboard-put TEXT FORMAT HEX",
     "a user's copy: TEXT as Unicode text, and the bytes HEX in the registered\n"
     "format FORMAT",
     [](const Args& a) {
         PutClipboard(a[1], a[2], a[3]);
         return std::string();
     }},
    {"clipboard-hold MS", "keep the clipboard open for MS, as another program that holds it",
     [](const Args& a) {
         HoldClipboard(ParseMs(a[1]));
         return std::string();
     }},
    {"clipboard FORMAT",
     "the clipboard: its Unicode text TAB the bytes of FORMAT in hex TAB\n"
     "marked|unmarked (kept out of the clipboard history)",
     [](const Args& a) { return ClipboardRecord(a[1]); }},
};

std::string RunCommand(const Args& args) {
    if (args.empty() || args[0].empty()) throw UsageError("no command");
    for (const Command& command : kCommands) {
        // The usage line's words: the name first.
        const std::vector<std::string> words = inspector::Split(command.usage, ' ');
        if (words[0] != args[0]) continue;
        size_t optional = 0;
        for (const std::string& word : words) optional += word.front() == '[';
        if (args.size() < words.size() - optional || args.size() > words.size())
            throw UsageError(std::string("usage: ") + command.usage);
        return command.run(args);
    }
    throw UsageError("unknown command: " + args[0]);
}

}  // namespace

std::string Usage() {
    constexpr size_t kColumn = 33;
    std::string text = "usage: inspector.exe COMMAND ARG...  |  inspector.exe serve\n";
    for (const Command& command : kCommands) {
        std::string line = "  " + std::string(command.usage);
        line.resize(std::max(kColumn, line.size() + 1), ' ');
        for (const char c : std::string_view(command.does)) {
            line += c;
            if (c == '\n') line.append(kColumn, ' ');
        }
        text += line + "\n";
    }
    return text +
           "TITLE matches a title exactly, or its end after \" - \" (a status before the name);\n"
           "NAME is the DesignerName window property (a global atom).\n";
}

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
