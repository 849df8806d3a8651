// Text between UTF-16, as the shell gives paths, and the ANSI code page (Shift-JIS) that the
// tables and the script carry.
#pragma once

#include <string>

// The ANSI bytes of a UTF-16 text; lost is set when a character had no exact counterpart
// (it then comes out as "?").
std::string ToAnsi(const std::wstring& wide, bool& lost);
std::wstring FromAnsi(const std::string& ansi);
