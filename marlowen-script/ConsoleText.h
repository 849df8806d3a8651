// A message for the console in pieces: text of the program (Shift-JIS) and paths as the
// program was given them. Windows converts both from the ANSI code page to the console's;
// elsewhere the text becomes UTF-8 and a path, given as bytes, stays readable: UTF-8 as it
// came, Shift-JIS converted like the text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class ConsoleText {
public:
    struct Piece {
        bool path = false;
        std::string bytes;
    };

    ConsoleText() = default;
    explicit ConsoleText(std::string_view text) { *this += text; }
    static ConsoleText Path(std::string_view path);

    ConsoleText& operator+=(std::string_view text);
    ConsoleText& operator+=(const ConsoleText& other);
    void push_back(char c) { *this += std::string_view(&c, 1); }
    bool empty() const { return pieces_.empty(); }

    const std::vector<Piece>& Pieces() const { return pieces_; }
    // Every piece's bytes as they are: for tests, and where the bytes are Shift-JIS throughout.
    std::string Bytes() const;

private:
    std::vector<Piece> pieces_;
};
