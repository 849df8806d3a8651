// The one place where text changes its encoding: the program's Shift-JIS bytes (code page 932)
// to and from UTF-8 (files and terminals outside Windows, X, the tests' literals) and UTF-16
// (the shell's paths, Unicode windows). Encoding_win.cpp asks the system's code pages,
// Encoding_posix.cpp iconv.
#pragma once

#include <string>
#include <string_view>

// A byte that starts no character of the source, or a character that the target lacks, comes
// out as a stand-in character and sets *lost when it is given.
std::string Utf8FromShiftJis(std::string_view sjis, bool* lost = nullptr);
std::string ShiftJisFromUtf8(std::string_view utf8, bool* lost = nullptr);
std::u16string Utf16FromShiftJis(std::string_view sjis, bool* lost = nullptr);
std::string ShiftJisFromUtf16(std::u16string_view utf16, bool* lost = nullptr);
