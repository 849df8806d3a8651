#include "text/UnitFunc.h"

#include <cstddef>
#include <limits>

namespace UnitFunc {

namespace {

constexpr auto npos = std::string_view::npos;

unsigned char Byte(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

// RemoveBlanks has its own, wider lead range: it also pairs 0x80 and 0xFD.
bool StartsPairForBlanks(unsigned char b) { return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD); }

// The text up to its first zero byte, as a C string would end there.
std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

// Number of lead-table bytes immediately before index i; an odd count makes byte i a trail
// byte. Counted backwards, so a caller classifying one byte pays only for that byte's run.
std::size_t LeadRunBefore(std::string_view text, std::size_t i) {
    std::size_t run = 0;
    while (run < i && IsLeadByte(Byte(text, i - 1 - run))) ++run;
    return run;
}

// First occurrence of pattern in text that does not begin on a trail byte, as a 0-based
// index. A zero byte ends both texts. The lead run is carried forward from candidate to
// candidate, so each byte is classified once per search.
std::size_t FindCharAware(std::string_view pattern, std::string_view text) {
    pattern = UpToZero(pattern);
    if (pattern.empty() || text.empty()) return npos;
    std::size_t classified = 0;
    std::size_t leadRun = 0;
    for (std::size_t from = 0;;) {
        const std::size_t hit = text.find(pattern, from);
        if (hit == npos) return npos;
        // A zero byte ends the text; looking for it only up to the hit keeps a walk over a
        // long text linear.
        for (; classified < hit; ++classified) {
            const unsigned char b = Byte(text, classified);
            if (b == 0) return npos;
            leadRun = IsLeadByte(b) ? leadRun + 1 : 0;
        }
        if (leadRun % 2 == 0) return hit;
        from = hit + 1;
    }
}

// Positions of the separators that split a path. "\", ":" and "." count only as characters
// of their own: the trail byte of a double-byte character may be 0x5C.
struct PathMarks {
    std::size_t lastSeparator = npos;        // last "\" or ":"
    std::size_t lastMark = npos;             // last of "\", ":" and "."
    bool separatorFollowsSeparator = false;  // the character before lastSeparator is one too
};

PathMarks FindPathMarks(std::string_view path) {
    PathMarks marks;
    bool previousIsSeparator = false;
    for (std::size_t i = 0; i < path.size();) {
        const unsigned char b = Byte(path, i);
        if (IsLeadByte(b)) {
            previousIsSeparator = false;
            i += 2;
            continue;
        }
        const bool isSeparator = b == '\\' || b == ':';
        if (isSeparator) {
            marks.lastSeparator = i;
            marks.lastMark = i;
            marks.separatorFollowsSeparator = previousIsSeparator;
        } else if (b == '.') {
            marks.lastMark = i;
        }
        previousIsSeparator = isSeparator;
        ++i;
    }
    return marks;
}

// The value of a hexadecimal digit, -1 for any other byte.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::int32_t> HexToInt(std::string_view digits, bool negative) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    // All 32 bits are taken as a signed number, so $FFFFFFFF is -1; the sign then wraps.
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

std::optional<std::int32_t> DecimalToInt(std::string_view digits, bool negative) {
    if (digits.empty()) return std::nullopt;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > kLimit) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::string RemoveBlanks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = Byte(text, i);
        if (StartsPairForBlanks(b)) {
            // A lead byte at the very end has no partner: keep it alone rather than invent one.
            if (i + 1 == text.size()) {
                result += text[i];
                break;
            }
            if (!(b == 0x81 && Byte(text, i + 1) == 0x40)) result.append(text.substr(i, 2));
            i += 2;
        } else {
            if (b > 0x20) result += text[i];
            ++i;
        }
    }
    return result;
}

int PosFrom(std::string_view pattern, std::string_view text, int offset) {
    std::size_t start = 0;
    if (offset > 0) {
        const std::size_t at = static_cast<std::size_t>(offset) - 1;
        if (at >= text.size()) return 0;
        const unsigned char b = Byte(text, at);
        const bool isLead = b != 0 && LeadRunBefore(text, at) % 2 == 0 && IsLeadByte(b);
        start = at + (isLead ? 2 : 1);
        if (start >= text.size()) return 0;
    }
    const std::size_t hit = FindCharAware(pattern, text.substr(start));
    return hit == npos ? 0 : static_cast<int>(start + hit + 1);
}

PathParts SplitPath(std::string_view path) {
    const PathMarks marks = FindPathMarks(path);
    PathParts parts;
    parts.fileName = marks.lastSeparator == npos ? path : path.substr(marks.lastSeparator + 1);
    const bool hasExtension = marks.lastMark != npos && path[marks.lastMark] == '.';
    parts.withoutExt = hasExtension ? path.substr(0, marks.lastMark) : path;
    if (marks.lastSeparator != npos) {
        std::size_t end = marks.lastSeparator + 1;
        // A root ("\", "C:\", "\\") keeps its backslash; any other folder loses it.
        if (path[marks.lastSeparator] == '\\' && marks.lastSeparator > 0 && !marks.separatorFollowsSeparator) {
            --end;
        }
        parts.folder = path.substr(0, end);
    }
    return parts;
}

std::string FolderWithSeparator(std::string_view path) {
    const PathMarks marks = FindPathMarks(path);
    return marks.lastSeparator == npos ? std::string() : std::string(path.substr(0, marks.lastSeparator + 1));
}

std::string CaptionFromLabel(std::string_view label) {
    // 0x2B is never a trail byte, so a byte search cannot split a character.
    const std::size_t plus = label.find('+');
    if (plus == npos) return std::string(label);
    std::string caption(label.substr(0, plus));
    caption += "\r\n";
    caption += label.substr(plus + 1);
    return caption;
}

std::optional<std::int32_t> StrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::string_view rest = text.substr(i);
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        return HexToInt(rest.substr(1), negative);
    }
    if (rest.starts_with("0x") || rest.starts_with("0X")) return HexToInt(rest.substr(2), negative);
    return DecimalToInt(rest, negative);
}

std::int32_t IntFromSetting(std::string_view text, std::int32_t def) {
    std::string number(text);
    if (number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X')) {
        number.replace(0, 2, "$");
    }
    return StrToInt(number).value_or(def);
}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (text.empty()) return text;
    const std::size_t last = text.size() - 1;
    // A double-byte character's code (lead * 256 + trail) is always above ".", whatever its
    // trail byte; only a one-byte last character can hold the full stop back.
    const bool endsInPair = LeadRunBefore(text, last) % 2 == 1;
    if (endsInPair || Byte(text, last) > '.') text += '.';
    return text;
}

std::string Format(std::string_view pattern, std::string_view arg) {
    // "%" (0x25) is never a trail byte, so the byte search finds only a real "%s".
    const std::size_t at = pattern.find("%s");
    if (at == npos) return std::string(pattern);
    std::string result(pattern.substr(0, at));
    result += arg;
    result += pattern.substr(at + 2);
    return result;
}

}  // namespace UnitFunc
