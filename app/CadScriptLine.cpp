#include "CadScriptLine.h"

#include <algorithm>

bool InsideDoubleQuotes(std::string_view line, std::size_t at, std::size_t length) {
    // 0x22 is never a trail byte, so counting bytes counts the quotes.
    const bool open = std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(at), '"') % 2 == 1;
    return open && line.find('"', at + length) != std::string_view::npos;
}

std::vector<std::string_view> InputPieces(std::string_view line) {
    // Neither 0x20 nor 0x22 is ever a trail byte, so bytes are scanned alone.
    std::vector<std::string_view> pieces;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ' ' && !quoted) {
            pieces.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.push_back(line.substr(start));
    return pieces;
}
