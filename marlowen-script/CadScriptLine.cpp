#include "CadScriptLine.h"

#include <algorithm>

bool InsideDoubleQuotes(std::string_view line, std::size_t at, std::size_t length) {
    // 0x22 is never a trail byte, so counting bytes counts the quotes.
    const bool open = std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(at), '"') % 2 == 1;
    return open && line.find('"', at + length) != std::string_view::npos;
}
