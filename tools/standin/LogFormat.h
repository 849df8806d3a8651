// Texts of the stand-in's event log: quoted byte strings and hex dumps, so that every line
// stays one line and shows exactly what came in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// In double quotes. Shift-JIS characters and printable ASCII stay as they are; \" \\ \r \n \t
// are escaped, and every other byte (controls, 0x7F, a lead byte without a valid second byte)
// is written as \xHH.
std::string QuoteForLog(std::string_view bytes);

// Lowercase hex digits, two per byte, no separators.
std::string HexForLog(const void* data, std::size_t size);
