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
// converted, so callers compare readable literals. The commands are in Commands_win.cpp, the
// wire format in testsupport/InspectorProtocol.h.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "Commands_win.h"
#include "Readers_win.h"
#include "testsupport/InspectorProtocol.h"

namespace {

// A character that the ANSI code page lacks becomes its look-alike, as Windows hands an ANSI
// program its command line.
std::string Ansi(std::wstring_view wide) { return CodePageFromWide(wide, CP_ACP, nullptr, LookAlikes::Taken); }

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
        for (const std::string& arg : inspector::SplitRequest(line))
            args.push_back(Ansi(WideFromCodePage(arg, CP_UTF8)));
        std::string out, error;
        const int code = Execute(args, out, error);
        WriteOut(out + inspector::EndLine(code, AnsiToUtf8(error)));
    }
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Args args;
    for (int i = 1; i < argc; ++i) args.push_back(Ansi(argv[i]));
    LocalFree(argv);
    if (args.empty()) {
        WriteOut(Usage());
        return 2;
    }
    if (args[0] == "serve" && args.size() == 1) return Serve();
    std::string out, error;
    const int code = Execute(args, out, error);
    WriteOut(code ? "error: " + AnsiToUtf8(error) + "\n" : out);
    return code;
}
