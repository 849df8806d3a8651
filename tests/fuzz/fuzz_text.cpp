// The text utilities over arbitrary bytes, with the properties their callers rely on.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/UnitFunc.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // First byte: the offset; the rest: pattern and text, split at the first 0x01.
    const int offset = static_cast<signed char>(data[0]);
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = rest.find('\x01');
    const std::string_view pattern = split == std::string_view::npos ? rest.substr(0, 1) : rest.substr(0, split);
    const std::string_view text = split == std::string_view::npos ? rest.substr(1) : rest.substr(split + 1);

    const std::string stripped = UnitFunc::RemoveBlanks(text);
    Check(stripped.size() <= text.size());

    const int found = UnitFunc::PosFrom(pattern, text, offset);
    if (found != 0) {
        // A zero byte ends the pattern, as it ends the text.
        const std::string_view sought = pattern.substr(0, pattern.find('\0'));
        Check(found > offset && found >= 1);
        Check(text.substr(static_cast<std::size_t>(found) - 1).starts_with(sought));
        const int next = UnitFunc::PosFrom(pattern, text, found);
        Check(next == 0 || next > found);
    }

    const UnitFunc::PathParts parts = UnitFunc::SplitPath(text);
    Check(text.ends_with(parts.fileName));
    Check(text.starts_with(parts.withoutExt));
    Check(text.starts_with(parts.folder));
    Check(text.starts_with(UnitFunc::FolderWithSeparator(text)));

    const auto number = UnitFunc::StrToInt(text);
    const std::int32_t setting = UnitFunc::IntFromSetting(text, 12345);
    // The "0x" to "$" step never changes what a number reads as.
    Check(setting == number.value_or(12345));

    const std::string caption = UnitFunc::CaptionFromLabel(text);
    Check(caption.size() == text.size() || caption.size() == text.size() + 1);
    UnitFunc::ErrorBoxText(text);
    return 0;
}
