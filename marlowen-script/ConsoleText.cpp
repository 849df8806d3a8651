#include "ConsoleText.h"

ConsoleText ConsoleText::Path(std::string_view path) {
    ConsoleText text;
    text.pieces_.push_back({true, std::string(path)});
    return text;
}

ConsoleText& ConsoleText::operator+=(std::string_view text) {
    if (text.empty()) return *this;
    if (pieces_.empty() || pieces_.back().path) pieces_.push_back({false, {}});
    pieces_.back().bytes += text;
    return *this;
}

ConsoleText& ConsoleText::operator+=(const ConsoleText& other) {
    for (const Piece& piece : other.pieces_) {
        if (piece.path) pieces_.push_back(piece);
        else *this += piece.bytes;
    }
    return *this;
}

std::string ConsoleText::Bytes() const {
    std::string bytes;
    for (const Piece& piece : pieces_) bytes += piece.bytes;
    return bytes;
}
