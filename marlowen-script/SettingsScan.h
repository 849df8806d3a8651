// data.ini line by line, as the profile reader resolves it, with the line numbers a report
// needs: the program's sections (the first of each name), in each the first key of each
// name, and what the file's form says on its own (its encoding, repeated sections and keys,
// lines the reader passes over).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/IniLine.h"

struct ScannedKey {
    int line = 0;
    std::string_view name;   // as the reader takes it: trimmed
    std::string_view value;  // trimmed, quotes still on

    std::string Value() const { return IniLine::ValueOf(value); }  // what a read returns
    std::size_t UncutSize() const { return IniLine::Unquoted(value).size(); }
    std::string_view RawValue() const { return value; }
    bool QuotedWhole() const { return IniLine::Unquoted(value).size() + 2 == value.size(); }
    // A name of decimal digits only, such as "3" or "01".
    bool IsNumbered() const;
    // Its number, capped far above any line count.
    std::uint64_t Number() const;
};

struct ScannedSection {
    std::string name;  // "Program", "Section1" … "Section9", as the program asks for it
    int headerLine = 0;
    std::vector<ScannedKey> keys;  // the first of each name, in file order

    const ScannedKey* Find(std::string_view key) const;
};

struct ScanNote {
    int line = 0;
    std::string section;
    std::string message;  // Shift-JIS
};

struct SettingsScan {
    std::vector<ScannedSection> sections;  // in file order; the views point into the bytes
    std::vector<ScanNote> notes;
};

SettingsScan ScanSettings(std::string_view bytes);
