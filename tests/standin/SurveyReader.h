// How the layout survey reads a command pane, written out again here on its own so the tests
// can check that the stand-in's listing yields exactly the drawing's layouts: strip blanks and
// control bytes, drop the first "アクティブなレイアウト:", find ">:", then the first "." after
// it, then every name between "レイアウト:" and the next "ブロック名".
#pragma once

#include <string>
#include <vector>

#include "text/ShiftJis.h"

namespace survey_reader {

inline bool IsLead(char c) { return IsShiftJisLead(static_cast<unsigned char>(c)); }

inline std::string RemoveBlanks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD)) {
            const char trail = i + 1 < text.size() ? text[i + 1] : '\0';
            if (!(b == 0x81 && trail == 0x40)) {
                out += text[i];
                out += trail;
            }
            ++i;
        } else if (b > 0x20) {
            out += text[i];
        }
    }
    return out;
}

// First occurrence at or after from (a character boundary) that starts on a character boundary.
inline std::size_t Find(const std::string& text, const std::string& pattern, std::size_t from) {
    for (std::size_t i = from; i < text.size(); i += IsLead(text[i]) && i + 1 < text.size() ? 2 : 1) {
        if (text.compare(i, pattern.size(), pattern) == 0) return i;
    }
    return std::string::npos;
}

inline std::size_t After(const std::string& text, std::size_t at) { return at + (IsLead(text[at]) ? 2 : 1); }

inline std::vector<std::string> LayoutNames(const std::string& pane) {
    const std::string active = "アクティブなレイアウト:";
    const std::string label = "レイアウト:";
    const std::string block = "ブロック名";
    std::string s = RemoveBlanks(pane);
    if (std::size_t p = Find(s, active, 0); p != std::string::npos) s.erase(p, active.size());
    const std::size_t d = Find(s, ">:", 0);
    if (d == std::string::npos) return {};
    const std::size_t e = Find(s, ".", After(s, d));
    std::size_t o = e == std::string::npos ? 0 : After(s, e);
    std::vector<std::string> names;
    for (;;) {
        const std::size_t f = Find(s, label, o);
        if (f == std::string::npos) break;
        const std::size_t g = Find(s, block, After(s, f));
        if (g == std::string::npos) break;
        names.push_back(s.substr(f + label.size(), g - f - label.size()));
        o = After(s, g);
    }
    return names;
}

}  // namespace survey_reader
