#include "StandInOptions_win.h"

#include <shellapi.h>

#include <cwchar>

#include "StandIn_win.h"

namespace {

constexpr UINT kMaxDelay = 600000;

UINT ParseDelay(const std::wstring& digits) {
    const unsigned long value = std::wcstoul(digits.c_str(), nullptr, 10);
    return value > kMaxDelay ? kMaxDelay : static_cast<UINT>(value);
}

// MS:TEXT: the time first, as the text may hold ":" (a path).
void ParseBusy(const std::wstring& value, Options& options) {
    const std::size_t colon = value.find(L':');
    options.busyDelay = ParseDelay(value.substr(0, colon));
    options.busyText = colon == std::wstring::npos ? std::string() : ShiftJis(value.substr(colon + 1));
}

bool HasPrefix(const std::wstring& arg, const wchar_t* prefix, std::wstring* rest = nullptr) {
    const std::size_t n = std::wcslen(prefix);
    if (arg.size() < n || _wcsnicmp(arg.c_str(), prefix, n) != 0) return false;
    if (rest) *rest = arg.substr(n);
    return rest || arg.size() == n;
}

}  // namespace

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L'"';
}

Options ParseOptions() {
    Options options;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        std::wstring value;
        if (HasPrefix(arg, L"/launch")) options.launch = true;
        else options.passOn.push_back(arg);
        if (HasPrefix(arg, L"/unicode")) options.unicode = true;
        else if (HasPrefix(arg, L"/floating")) options.floating = true;
        else if (HasPrefix(arg, L"/halfwidth")) options.halfWidth = true;
        else if (HasPrefix(arg, L"/log:", &value)) options.logPath = value;
        else if (HasPrefix(arg, L"/startdelay:", &value)) options.startDelay = ParseDelay(value);
        else if (HasPrefix(arg, L"/cmddelay:", &value)) options.commandDelay = ParseDelay(value);
        else if (HasPrefix(arg, L"/logtime")) options.logTimes = true;
        else if (HasPrefix(arg, L"/windowdelay:", &value)) options.windowDelay = ParseDelay(value);
        else if (HasPrefix(arg, L"/exitafter:", &value)) options.exitAfter = ParseDelay(value);
        else if (HasPrefix(arg, L"/exitat:", &value)) options.exitWord = ShiftJis(value);
        else if (HasPrefix(arg, L"/loaddelay:", &value)) options.loadDelay = ParseDelay(value);
        else if (HasPrefix(arg, L"/busy:", &value)) ParseBusy(value, options);
        else if (HasPrefix(arg, L"/failopen:", &value)) options.unreadableDrawing = ShiftJis(value);
        else if (HasPrefix(arg, L"/crashon:", &value)) options.crashDrawing = ShiftJis(value);
        else if (HasPrefix(arg, L"/historylines:", &value))
            options.historyLines = std::wcstoul(value.c_str(), nullptr, 10);
        else if (HasPrefix(arg, L"/quitdelay:", &value)) options.quitDelay = ParseDelay(value);
    }
    LocalFree(argv);
    // Beside the executable, so that a test tells apart copies started without arguments.
    if (options.logPath.empty()) options.logPath = ExecutablePath() + L".log";
    return options;
}
