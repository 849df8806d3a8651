// Text utilities over Shift-JIS bytes (code page 932). Positions are 1-based byte positions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace UnitFunc {

// Lead-byte test of the system's ANSI code page: the code page 932 table everywhere but
// Windows, where the system's own table is asked (LeadByte.cpp / LeadByte_win.cpp).
bool IsLeadByte(unsigned char b);

// The one letter-case rule of names and marks: a–z in capitals, every other byte as it is.
// A trail byte may look like a letter: where a name may hold double-byte characters, the
// caller passes their trail bytes by.
inline char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Every half-width blank, full-width blank (0x81 0x40) and control byte removed.
std::string RemoveBlanks(std::string_view text);

// 1-based position of the first occurrence of pattern that begins after the character at
// offset (offset <= 0: the whole text); 0 when there is none or offset is beyond the text.
int PosFrom(std::string_view pattern, std::string_view text, int offset);

// The three forms of a dropped path; "\", ":" and "." count only as characters of their own.
struct PathParts {
    std::string fileName;    // after the last "\" or ":"
    std::string withoutExt;  // the path less its extension
    std::string folder;      // without a closing "\" (kept after a drive or a second "\")
};
PathParts SplitPath(std::string_view path);

// The path cut after its last "\" or ":" (the folder with its separator), "" when none.
std::string FolderWithSeparator(std::string_view path);

// Button caption from a Label value: the first "+" becomes CR LF.
std::string CaptionFromLabel(std::string_view label);

// The settings file's number rules: optional blanks, sign, decimal or $/x/0x hexadecimal,
// a signed 32-bit result; nullopt when the text is not used up exactly.
std::optional<std::int32_t> StrToInt(std::string_view text);

// Read integer: "0x"/"0X" prefix of a text over 2 bytes becomes "$", then StrToInt, else def.
std::int32_t IntFromSetting(std::string_view text, std::int32_t def);

// The error box's text: "." appended unless empty or the last character's code is at most
// "." (a double-byte last character always gets it).
std::string ErrorBoxText(std::string_view message);

// printf-like substitution of the one "%s" in a Shift-JIS message.
std::string Format(std::string_view pattern, std::string_view arg);

}  // namespace UnitFunc
