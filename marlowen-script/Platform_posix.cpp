#include "Platform.h"
#include "Utf8.h"
#include "text/Encoding.h"

#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

namespace {

// A folder as this system lists it: names starting with "." are its hidden ones, and a
// symbolic link is the link of Windows.
class PosixListing final : public FolderListing<char> {
public:
    bool IsFolder(const std::string& path) override {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    bool List(const std::string& folder, const Take& take) override {
        const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
        if (!dir) return false;
        const std::string prefix = folder.ends_with('/') ? folder : folder + '/';
        while (const dirent* found = readdir(dir.get())) {
            FolderEntry<char> entry;
            entry.name = found->d_name;
            if (entry.name == "." || entry.name == "..") continue;
            struct stat info {};
            if (lstat((prefix + entry.name).c_str(), &info) != 0) continue;
            entry.folder = S_ISDIR(info.st_mode);
            entry.hidden = entry.name.starts_with('.');
            entry.link = S_ISLNK(info.st_mode);
            if (!take(entry)) break;
        }
        return true;
    }

    int CompareNames(const std::string& a, const std::string& b) const override {
        return CompareNamesNaturally<char>(a, b);
    }

    char Separator() const override { return '/'; }
};

}  // namespace

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
