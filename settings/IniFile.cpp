// The INI-file object reading and writing data.ini itself, with the results the program
// relies on from the Windows profile API.
#include "settings/IniFile.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

constexpr std::size_t kMaxValue = 2047;   // the profile reader's 2048-byte buffer, less the zero

bool IsBlank(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Blank bytes are all below 0x40, the lowest trail byte, so trimming cannot split a character.
std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The profile reader works on C strings: a zero byte ends a name or a value.
std::string_view UpToZero(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names match without regard to the case of one-byte letters; the two bytes of a double-byte
// character must match exactly, since its trail byte may look like a letter.
bool SameName(std::string_view inFile, std::string_view wanted)
{
    inFile = UpToZero(inFile);
    if (inFile.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < inFile.size(); ++i) {
        if (UnitFunc::IsLeadByte(static_cast<unsigned char>(inFile[i]))) {
            if (inFile.compare(i, 2, wanted, i, 2) != 0) return false;
            ++i;
        } else if (UpperAscii(inFile[i]) != UpperAscii(wanted[i])) {
            return false;
        }
    }
    return true;
}

// Index of the last "]" that is a character of its own (0x5D may be a trail byte).
std::size_t LastClosingBracket(std::string_view text)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (UnitFunc::IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
        else if (text[i] == ']') found = i;
    }
    return found;
}

enum class LineKind { Other, Section, Key };

// One line of the file; the views point into the file's text.
struct Line {
    std::string_view text;   // without the line feed and a carriage return before it
    std::size_t next = 0;    // where the next line starts
    bool hasLineFeed = false;
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name
    std::string_view value;  // key value, trimmed, quotes still on
};

Line ParseLine(std::string_view content, std::size_t begin)
{
    Line line;
    const std::size_t feed = content.find('\n', begin);
    line.hasLineFeed = feed != std::string_view::npos;
    const std::size_t end = line.hasLineFeed ? feed : content.size();
    line.next = line.hasLineFeed ? feed + 1 : end;
    line.text = content.substr(begin, end - begin);
    if (line.text.ends_with('\r')) line.text.remove_suffix(1);

    const std::string_view trimmed = Trim(line.text);
    if (trimmed.starts_with('[')) {
        const std::size_t close = LastClosingBracket(trimmed);
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = trimmed.substr(1, close - 1);
            return line;
        }
    }
    // "=" (0x3D) is never a trail byte.
    const std::size_t equals = trimmed.find('=');
    if (equals != std::string_view::npos) {
        line.kind = LineKind::Key;
        line.name = Trim(trimmed.substr(0, equals));
        line.value = Trim(trimmed.substr(equals + 1));
    }
    return line;
}

// Where a section and a key stand in the file. Only the first section of a name counts, and
// in it the first key of a name, as with the profile API.
struct Lookup {
    std::optional<Line> section;
    std::optional<Line> key;
    Line lastOfSection;   // last line of the section that is not blank: where a new key goes
};

Lookup Find(std::string_view content, std::string_view section, std::string_view key)
{
    Lookup found;
    for (std::size_t at = 0; at < content.size();) {
        const Line line = ParseLine(content, at);
        at = line.next;
        if (line.kind == LineKind::Section) {
            if (found.section) break;
            if (SameName(line.name, section)) {
                found.section = line;
                found.lastOfSection = line;
            }
            continue;
        }
        if (!found.section) continue;
        if (!Trim(line.text).empty()) found.lastOfSection = line;
        if (line.kind == LineKind::Key && SameName(line.name, key)) {
            found.key = line;
            break;
        }
    }
    return found;
}

std::string ValueOf(std::string_view raw)
{
    std::string_view value = UpToZero(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValue));
}

enum class ReadResult { Read, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& content)
{
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

} // namespace

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    std::string content;
    if (ReadWholeFile(path_, content) != ReadResult::Read) return std::string(def);
    const Lookup found = Find(content, Trim(section), Trim(key));
    return found.key ? ValueOf(found.key->value) : std::string(def);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const auto fail = [this] { throw AppError(UnitFunc::Format("%s に書き込めません", path_)); };
    std::string content;
    // A file that exists but cannot be read is not rewritten: its content would be lost.
    if (ReadWholeFile(path_, content) == ReadResult::Failed) fail();

    const std::string keyLine = std::string(key) + "=" + std::string(value);
    const Lookup found = Find(content, Trim(section), Trim(key));
    if (found.key) {
        // The line keeps everything up to the end of its key name; the rest is the new value.
        const std::size_t begin = static_cast<std::size_t>(found.key->text.data() - content.data());
        const std::size_t nameEnd = static_cast<std::size_t>(found.key->name.data() - content.data()) +
                                    found.key->name.size();
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
