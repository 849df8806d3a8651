#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "Platform.h"
#include "settings/IniFile.h"

namespace {

std::string Convert(const std::string& ansi, UINT codePage) {
    if (ansi.empty()) return ansi;
    const int wide = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text.data(), wide);
    const int size = WideCharToMultiByte(codePage, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), wide, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace

std::string OwnSettingsPath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return SettingsPathFor(path);
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ForConsole(const ConsoleText& text) {
    // Without a console (output to a file or a pipe) there is no console code page: ANSI stays.
    const UINT codePage = GetConsoleOutputCP();
    std::string out;
    for (const ConsoleText::Piece& piece : text.Pieces())
        out += codePage == 0 || codePage == GetACP() ? piece.bytes : Convert(piece.bytes, codePage);
    return out;
}

void UseBinaryOutput(std::FILE* stream) {
    _setmode(_fileno(stream), _O_BINARY);
}

bool ConsoleIsOwn() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}
