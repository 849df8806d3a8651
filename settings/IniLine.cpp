#include "settings/IniLine.h"

#include "text/UnitFunc.h"

namespace IniLine {

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The profile reader works on C strings: a zero byte ends a name or a value.
std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

// Index of the last "]" that is a character of its own (0x5D may be a trail byte).
std::size_t LastClosingBracket(std::string_view text) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (UnitFunc::IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
        else if (text[i] == ']') found = i;
    }
    return found;
}

}  // namespace

// Blank bytes are all below 0x40, the lowest trail byte, so trimming cannot split a character.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The two bytes of a double-byte character must match exactly, since its trail byte may look
// like a letter.
bool SameName(std::string_view inFile, std::string_view wanted) {
    inFile = UpToZero(inFile);
    if (inFile.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < inFile.size(); ++i) {
        if (UnitFunc::IsLeadByte(static_cast<unsigned char>(inFile[i]))) {
            if (inFile.compare(i, 2, wanted, i, 2) != 0) return false;
            ++i;
        } else if (UnitFunc::AsciiUpper(inFile[i]) != UnitFunc::AsciiUpper(wanted[i])) {
            return false;
        }
    }
    return true;
}

Line Parse(std::string_view content, std::size_t begin) {
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
            line.kind = Kind::Section;
            line.name = trimmed.substr(1, close - 1);
            return line;
        }
    }
    // "=" (0x3D) is never a trail byte.
    const std::size_t equals = trimmed.find('=');
    if (equals != std::string_view::npos) {
        line.kind = Kind::Key;
        line.name = Trim(trimmed.substr(0, equals));
        line.value = Trim(trimmed.substr(equals + 1));
    }
    return line;
}

std::string_view Unquoted(std::string_view value) {
    value = UpToZero(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::string ValueOf(std::string_view value) { return std::string(Unquoted(value).substr(0, kMaxValue)); }

}  // namespace IniLine
