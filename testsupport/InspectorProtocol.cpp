#include "InspectorProtocol.h"

#include <charconv>
#include <cstdio>

namespace inspector {
namespace {

constexpr char kEnd = '\x1E';

std::string Joined(const std::vector<std::string>& parts, char separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += separator;
        text += parts[i];
    }
    return text;
}

// The byte of the two hexadecimal digits at text[at]; nothing when they are not that.
std::optional<char> HexByte(std::string_view text, std::size_t at) {
    if (at + 2 > text.size()) return std::nullopt;
    unsigned value = 0;
    const char* end = text.data() + at + 2;
    const auto [stop, error] = std::from_chars(text.data() + at, end, value, 16);
    if (error != std::errc() || stop != end) return std::nullopt;
    return static_cast<char>(value);
}

}  // namespace

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

std::string EscapeField(std::string_view text) {
    std::string out;
    for (const unsigned char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

std::string UnescapeField(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        const std::optional<char> byte = c == 'x' ? HexByte(text, i + 1) : std::nullopt;
        if (c == 't') out += '\t';
        else if (c == 'r') out += '\r';
        else if (c == 'n') out += '\n';
        else if (byte) {
            out += *byte;
            i += 2;
        } else out += c;
    }
    return out;
}

std::string Record(const std::vector<std::string>& fields) {
    std::vector<std::string> escaped;
    for (const std::string& field : fields) escaped.push_back(EscapeField(field));
    return Joined(escaped, '\t') + "\n";
}

std::vector<std::vector<std::string>> ParseRecords(std::string_view output) {
    std::vector<std::vector<std::string>> records;
    for (const std::string& line : Split(output, '\n')) {
        if (line.empty()) continue;
        std::vector<std::string> fields = Split(line, '\t');
        for (std::string& field : fields) field = UnescapeField(field);
        records.push_back(std::move(fields));
    }
    return records;
}

std::optional<std::string> RequestLine(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg.find_first_of("\t\r\n") != std::string::npos) return std::nullopt;
    return Joined(args, '\t') + "\n";
}

std::vector<std::string> SplitRequest(std::string_view line) { return Split(line, '\t'); }

std::string EndLine(int code, std::string_view reason) {
    std::string line(1, kEnd);
    line += std::to_string(code);
    if (code != 0) {
        line += ' ';
        line += EscapeField(reason);
    }
    line += '\n';
    return line;
}

std::optional<Answer> TakeAnswer(std::string& received) {
    const std::size_t end = received.find(kEnd);
    if (end == std::string::npos) return std::nullopt;
    const std::size_t lineEnd = received.find('\n', end);
    if (lineEnd == std::string::npos) return std::nullopt;
    const std::string_view status = std::string_view(received).substr(end + 1, lineEnd - end - 1);
    Answer answer;
    answer.output = received.substr(0, end);
    const std::size_t blank = status.find(' ');
    const std::string_view number = status.substr(0, blank);
    const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), answer.code);
    if (error != std::errc() || stop != number.data() + number.size()) answer.code = -1;
    if (blank != std::string_view::npos) answer.reason = UnescapeField(status.substr(blank + 1));
    received.erase(0, lineEnd + 1);
    return answer;
}

}  // namespace inspector
