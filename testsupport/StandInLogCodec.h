// The texts of the stand-in CAD's event log, one codec for the writer (the stand-in) and the
// reader (StandInLog, the tests and benchmarks): quoted byte strings and hex dumps, so that
// every line stays one line, shows exactly what came in and reads back as the same bytes.
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

// The bytes of the quoted text that starts at quoted[at] (a '"'), a Shift-JIS character taken
// whole, as its trail byte may be a backslash or a quote; at ends on the closing quote.
std::string UnquoteLogText(std::string_view quoted, std::size_t& at);
