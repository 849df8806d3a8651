#include "StandInLogCodec.h"

#include "text/ShiftJis.h"

namespace {

void AppendHexByte(std::string& out, unsigned char b) {
    static const char kDigits[] = "0123456789abcdef";
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
}

}  // namespace

std::string QuoteForLog(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsShiftJisLead(b) && i + 1 < bytes.size() && IsShiftJisTrail(static_cast<unsigned char>(bytes[i + 1]))) {
            out += bytes[i];
            out += bytes[++i];
        } else if (b == '"' || b == '\\') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (b == '\r') {
            out += "\\r";
        } else if (b == '\n') {
            out += "\\n";
        } else if (b == '\t') {
            out += "\\t";
        } else if ((b >= 0x20 && b < 0x7F) || (b >= 0xA1 && b <= 0xDF)) {
            out += static_cast<char>(b);
        } else {
            out += "\\x";
            AppendHexByte(out, b);
        }
    }
    out += '"';
    return out;
}

std::string HexForLog(const void* data, std::size_t size) {
    std::string out;
    out.reserve(size * 2);
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) AppendHexByte(out, bytes[i]);
    return out;
}

std::string UnquoteLogText(std::string_view quoted, std::size_t& at) {
    std::string text;
    for (++at; at < quoted.size() && quoted[at] != '"'; ++at) {
        char c = quoted[at];
        if (IsShiftJisLead(static_cast<unsigned char>(c)) && at + 1 < quoted.size() &&
            IsShiftJisTrail(static_cast<unsigned char>(quoted[at + 1]))) {
            text += c;
            c = quoted[++at];
        } else if (c == '\\' && at + 1 < quoted.size()) {
            c = quoted[++at];
            if (c == 'r') {
                c = '\r';
            } else if (c == 'n') {
                c = '\n';
            } else if (c == 't') {
                c = '\t';
            } else if (c == 'x' && at + 2 < quoted.size()) {
                c = static_cast<char>(std::stoi(std::string(quoted.substr(at + 1, 2)), nullptr, 16));
                at += 2;
            }
        }
        text += c;
    }
    return text;
}
