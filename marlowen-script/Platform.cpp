#include "Platform.h"
#include "Utf8.h"
#include "text/Encoding.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

std::string OwnSettingsPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("data.ini") : (self.parent_path() / "data.ini").string();
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FolderArguments ExpandFolderArguments(const std::vector<std::string>& args) {
    PosixListing listing;
    return FolderArgumentsFrom(ExpandDroppedFolders(args, listing));
}

void WriteText(std::FILE* stream, const ConsoleText& text) {
    std::string out;
    // A path comes as it was typed: on this system most likely UTF-8, and then it stays;
    // Shift-JIS bytes, as a script needs them, are shown like the text.
    for (const ConsoleText::Piece& piece : text.Pieces())
        out += piece.path && IsUtf8(piece.bytes) ? piece.bytes : Utf8FromShiftJis(piece.bytes);
    std::fwrite(out.data(), 1, out.size(), stream);
}

void UseBinaryOutput(std::FILE*) {}

bool ConsoleIsOwn() { return false; }
