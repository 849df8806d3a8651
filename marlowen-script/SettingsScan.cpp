#include "SettingsScan.h"

#include <algorithm>
#include <unordered_map>

#include "Utf8.h"
#include "text/UnitFunc.h"

namespace {

constexpr std::uint64_t kNumberCap = 1'000'000'000'000ull;

// A name as the reader compares it: one-byte letters in capitals, double-byte characters as
// they are, a zero byte ending it.
std::string Folded(std::string_view name) {
    name = name.substr(0, name.find('\0'));
    std::string folded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (UnitFunc::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < name.size()) {
            folded += c;
            c = name[++i];
        } else {
            c = UnitFunc::AsciiUpper(c);
        }
        folded += c;
    }
    return folded;
}

bool IsComment(std::string_view text) { return IniLine::Trim(text).starts_with(';'); }

bool HasHighByte(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

constexpr std::string_view kSectionNames[] = {"Program",  "Section1", "Section2", "Section3", "Section4",
                                              "Section5", "Section6", "Section7", "Section8", "Section9"};

}  // namespace

bool ScannedKey::IsNumbered() const {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::uint64_t ScannedKey::Number() const {
    std::uint64_t number = 0;
    for (char c : name) number = std::min(kNumberCap, number * 10 + static_cast<std::uint64_t>(c - '0'));
    return number;
}

const ScannedKey* ScannedSection::Find(std::string_view key) const {
    const std::string wanted = Folded(key);
    for (const ScannedKey& k : keys)
        if (Folded(k.name) == wanted) return &k;
    return nullptr;
}

SettingsScan ScanSettings(std::string_view bytes) {
    SettingsScan scan;
    const bool bom = bytes.starts_with("\xEF\xBB\xBF");
    if (bom)
        scan.notes.push_back(
            {1, "",
             "ファイルの先頭に UTF-8 の BOM があります。Windows の読み取りは BOM を知らず、"
             "日本語の Label やテンプレートも別の文字になります。Shift-JIS (CP932) で保存し直してください"});
    const bool utf8 = !bom && IsUtf8(bytes);
    bool utf8Noted = false;

    std::unordered_map<std::string, int> seenSections;  // folded name -> header line
    ScannedSection* current = nullptr;
    std::unordered_map<std::string, int> seenKeys;  // of the current section
    int number = 1;
    for (std::size_t at = 0; at < bytes.size(); ++number) {
        const IniLine::Line line = IniLine::Parse(bytes, at);
        at = line.next;
        if (IsComment(line.text)) continue;
        if (utf8 && !utf8Noted && HasHighByte(line.text)) {
            scan.notes.push_back(
                {number, current ? current->name : "",
                 "ファイルが UTF-8 で保存されています。プログラムは Shift-JIS として読むため、日本語の "
                 "Label やテンプレートは別の文字になります。Shift-JIS (CP932) で保存し直してください"});
            utf8Noted = true;
        }
        if (line.kind == IniLine::Kind::Section) {
            current = nullptr;
            const auto known = std::find_if(std::begin(kSectionNames), std::end(kSectionNames),
                                            [&](std::string_view name) { return IniLine::SameName(line.name, name); });
            if (known == std::end(kSectionNames)) continue;
            const std::string name(*known);
            const auto [seen, first] = seenSections.emplace(name, number);
            if (!first) {
                scan.notes.push_back({number, name,
                                      "[" + name + "] は " + std::to_string(seen->second) +
                                          " 行目にもあります。読まれるのは最初の " + std::to_string(seen->second) +
                                          " 行目のセクションだけで、ここから次のセクションまでの行は読まれません"});
                continue;
            }
            scan.sections.push_back({name, number, {}});
            current = &scan.sections.back();
            seenKeys.clear();
            continue;
        }
        if (!current) continue;
        if (line.kind == IniLine::Kind::Other) {
            if (!IniLine::Trim(line.text).empty())
                scan.notes.push_back({number, current->name, "この行には = がないため読まれません"});
            continue;
        }
        const auto [seen, first] = seenKeys.emplace(Folded(line.name), number);
        if (!first) {
            scan.notes.push_back({number, current->name,
                                  "キー '" + std::string(line.name) + "' は " + std::to_string(seen->second) +
                                      " 行目にもあります。読まれるのは最初の " + std::to_string(seen->second) +
                                      " 行目の値です"});
            continue;
        }
        current->keys.push_back({number, line.name, line.value});
    }
    return scan;
}
