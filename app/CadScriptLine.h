// How CAD's script reader takes a line: a blank acts as Enter, except inside double quotes,
// where a path with blanks stays one answer.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Whether the bytes at … at + length lie inside a double-quoted span of the line.
bool InsideDoubleQuotes(std::string_view line, std::size_t at, std::size_t length);

// The input lines CAD takes from one script line, in order, as views into it: the text between
// blanks outside double quotes, quotes kept; a blank more gives an empty piece.
std::vector<std::string_view> InputPieces(std::string_view line);
