// How CAD's script reader takes a line: a blank acts as Enter, except inside double quotes,
// where a path with blanks stays one answer.
#pragma once

#include <cstddef>
#include <string_view>

// Whether the bytes at … at + length lie inside a double-quoted span of the line.
bool InsideDoubleQuotes(std::string_view line, std::size_t at, std::size_t length);
