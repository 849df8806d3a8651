// The INI-file object reading and writing data.ini itself, with the results the program
// relies on from the Windows profile API.
#include "settings/IniFile.h"
#include "settings/IniLine.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

using IniLine::Line;
using IniLine::Trim;

// Where a section and a key stand in the file. Only the first section of a name counts, and
// in it the first key of a name, as with the profile API.
struct Lookup {
    std::optional<Line> section;
    std::optional<Line> key;
    Line lastOfSection;  // last line of the section that is not blank: where a new key goes
};

Lookup Find(std::string_view content, std::string_view section, std::string_view key) {
    Lookup found;
    for (std::size_t at = 0; at < content.size();) {
        const Line line = IniLine::Parse(content, at);
        at = line.next;
        if (line.kind == IniLine::Kind::Section) {
            if (found.section) break;
            if (IniLine::SameName(line.name, section)) {
                found.section = line;
                found.lastOfSection = line;
            }
            continue;
        }
        if (!found.section) continue;
        if (!Trim(line.text).empty()) found.lastOfSection = line;
        if (line.kind == IniLine::Kind::Key && IniLine::SameName(line.name, key)) {
            found.key = line;
            break;
        }
    }
    return found;
}

enum class ReadResult { Read, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& content) {
    // stdio rather than streams: a stream reading a folder throws instead of failing.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        std::error_code error;
        return std::filesystem::exists(path, error) || error ? ReadResult::Failed : ReadResult::Missing;
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? ReadResult::Failed : ReadResult::Read;
}

}  // namespace

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    std::string content;
    if (ReadWholeFile(path_, content) != ReadResult::Read) return std::string(def);
    const Lookup found = Find(content, Trim(section), Trim(key));
    return found.key ? IniLine::ValueOf(found.key->value) : std::string(def);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const auto fail = [this] { throw AppError(UnitFunc::Format("%s に書き込めません", path_)); };
    std::string content;
    // A file that exists but cannot be read is not rewritten: its content would be lost.
    if (ReadWholeFile(path_, content) == ReadResult::Failed) fail();

    const std::string keyLine = std::string(key) + "=" + std::string(value);
    const Lookup found = Find(content, Trim(section), Trim(key));
    if (found.key) {
        // The line keeps everything up to the end of its key name; the rest is the new value.
        const std::size_t begin = static_cast<std::size_t>(found.key->text.data() - content.data());
        const std::size_t nameEnd =
            static_cast<std::size_t>(found.key->name.data() - content.data()) + found.key->name.size();
        std::string replacement = content.substr(begin, nameEnd - begin) + "=" + std::string(value);
        content.replace(begin, found.key->text.size(), replacement);
    } else if (found.section) {
        const Line& after = found.lastOfSection;
        const std::string insert = (after.hasLineFeed ? "" : "\r\n") + keyLine + "\r\n";
        content.insert(after.next, insert);
    } else {
        if (!content.empty() && !content.ends_with('\n')) content += "\r\n";
        content += "[" + std::string(section) + "]\r\n" + keyLine + "\r\n";
    }

    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (!out) fail();
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) fail();
}
