// Loading the script template of one settings section for a drop on its button.
#pragma once

#include <cstdint>
#include <string_view>

#include "Tables.h"
#include "settings/IniFile.h"

// More template lines than any script needs; a larger TextCount is refused before a single
// key is read, so a stray value cannot stall the window or exhaust memory.
constexpr std::int32_t kMaxTemplateLines = 10000;

struct SectionTemplate {
    std::int32_t count = 0;  // TextCount as read (default 1); may be 0 or negative
    LineList lines;          // keys 1 … count; empty when count <= 0 or tooLong
    bool tooLong = false;    // count over kMaxTemplateLines: no key was read
};

// TextCount and the numbered keys of "Section<sectionNumber>", in key order; a missing key
// gives an empty line.
SectionTemplate ReadSectionTemplate(const IniFile& ini, std::string_view sectionNumber);
