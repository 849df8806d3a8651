#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <utility>

#include "Platform.h"
#include "app/DroppedFolders_win.h"
#include "settings/IniFile.h"
#include "text/Encoding_win.h"

std::string OwnSettingsPath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return SettingsPathFor(path);
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FolderArguments ExpandFolderArguments(const std::vector<std::string>& args) {
    // Expanded in UTF-16, like a drop: a name the code page lacks is found and comes out with
    // its "?", which the build then refuses by name.
    std::vector<std::wstring> wide;
    for (const std::string& arg : args) wide.push_back(WideFromCodePage(arg, CP_ACP));
    const DropExpansion<wchar_t> expanded = ExpandShellDrop(wide);
    DropExpansion<char> expansion;
    expansion.outcome = expanded.outcome;
    expansion.found = expanded.found;
    bool lost = false;
    for (const std::wstring& path : expanded.paths) expansion.paths.push_back(CodePageFromWide(path, CP_ACP, &lost));
    for (const std::wstring& folder : expanded.folders)
        expansion.folders.push_back(CodePageFromWide(folder, CP_ACP, &lost));
    return FolderArgumentsFrom(std::move(expansion));
}

void WriteText(std::FILE* stream, const ConsoleText& text) {
    // Arguments and paths are ANSI like the program's own text.
    const std::wstring wide = WideFromCodePage(text.Bytes(), CP_ACP);
    const HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        // A console window is written its characters: the C library's byte output to a
        // console can split a double-byte character.
        std::fflush(stream);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    // Redirected: the console's code page, or the ANSI one when there is no console.
    const UINT codePage = GetConsoleOutputCP();
    const std::string out = codePage == 0 ? text.Bytes() : CodePageFromWide(wide, codePage, nullptr, LookAlikes::Taken);
    std::fwrite(out.data(), 1, out.size(), stream);
}

void UseBinaryOutput(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

bool ConsoleIsOwn() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}
