#include <iconv.h>

#include <cerrno>

#include "Encoding.h"

namespace {

enum class Form { ShiftJis, Utf8, Utf16 };

const char* Name(Form form) {
    switch (form) {
    case Form::ShiftJis: return "CP932";
    case Form::Utf8: return "UTF-8";
    case Form::Utf16: return "UTF-16LE";
    }
    return "";
}

// How many bytes of the source one character that cannot be converted takes: a whole UTF-8
// sequence or UTF-16 surrogate pair, so that it stands for one "?"; one byte elsewhere.
std::size_t CharacterBytes(const char* at, std::size_t left, Form from) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(at[i]); };
    if (from == Form::Utf16) {
        const bool highSurrogate = left >= 4 && (byte(1) & 0xFC) == 0xD8;
        return highSurrogate ? 4 : left >= 2 ? 2 : left;
    }
    if (from == Form::Utf8) {
        const std::size_t declared = byte(0) >= 0xF0 ? 4 : byte(0) >= 0xE0 ? 3 : byte(0) >= 0xC0 ? 2 : 1;
        std::size_t n = 1;
        while (n < declared && n < left && (byte(n) & 0xC0) == 0x80) ++n;
        return n;
    }
    return 1;
}

// One conversion through iconv; what cannot be converted comes out as "?" in the target's form.
std::string Convert(std::string_view in, Form to, Form from, bool* lost) {
    if (lost) *lost = false;
    const std::string_view standIn = to == Form::Utf16 ? std::string_view("?\0", 2) : std::string_view("?");
    const iconv_t cd = iconv_open(Name(to), Name(from));
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        if (lost) *lost = !in.empty();
        return {};
    }
    std::string out;
    char buffer[1024];
    char* source = const_cast<char*>(in.data());
    std::size_t sourceLeft = in.size();
    while (sourceLeft > 0) {
        char* target = buffer;
        std::size_t targetLeft = sizeof buffer;
        const std::size_t done = iconv(cd, &source, &sourceLeft, &target, &targetLeft);
        out.append(buffer, static_cast<std::size_t>(target - buffer));
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or an incomplete last character.
            if (lost) *lost = true;
            out += standIn;
            const std::size_t skipped = CharacterBytes(source, sourceLeft, from);
            source += skipped;
            sourceLeft -= skipped;
        }
    }
    iconv_close(cd);
    return out;
}

std::u16string Units(const std::string& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return units;
}

std::string Bytes(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

}  // namespace

std::string Utf8FromShiftJis(std::string_view sjis, bool* lost) {
    return Convert(sjis, Form::Utf8, Form::ShiftJis, lost);
}

std::string ShiftJisFromUtf8(std::string_view utf8, bool* lost) {
    return Convert(utf8, Form::ShiftJis, Form::Utf8, lost);
}

std::u16string Utf16FromShiftJis(std::string_view sjis, bool* lost) {
    return Units(Convert(sjis, Form::Utf16, Form::ShiftJis, lost));
}

std::string ShiftJisFromUtf16(std::u16string_view utf16, bool* lost) {
    return Convert(Bytes(utf16), Form::ShiftJis, Form::Utf16, lost);
}
