// One line of an INI file as the profile reader sees it: a section header, a key line or
// anything else. Shared by the portable reader and by marlowen-script's checker, which must
// read data.ini exactly as the program does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace IniLine {

// The longest value a read returns: the profile reader's 2048-byte buffer, less the zero.
inline constexpr std::size_t kMaxValue = 2047;

enum class Kind { Other, Section, Key };

// The views point into the file's text.
struct Line {
    std::string_view text;  // without the line feed and a carriage return before it
    std::size_t next = 0;   // where the next line starts
    bool hasLineFeed = false;
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name
    std::string_view value;  // key value, trimmed, quotes still on
};

// The line that starts at begin.
Line Parse(std::string_view content, std::size_t begin);

// Blanks (space, tab to carriage return) at both ends removed.
std::string_view Trim(std::string_view text);

// Names match without regard to the case of one-byte letters; a zero byte ends the name in
// the file, as in the profile reader's C strings.
bool SameName(std::string_view inFile, std::string_view wanted);

// A key's value as read but not yet cut: up to a zero byte, without a pair of quotation
// marks that encloses it whole.
std::string_view Unquoted(std::string_view value);

// The value a read returns: Unquoted, cut to kMaxValue bytes.
std::string ValueOf(std::string_view value);

}  // namespace IniLine
