#include "SectionTemplate.h"

#include <string>

SectionTemplate ReadSectionTemplate(const IniFile& ini, std::string_view sectionNumber) {
    const std::string section = "Section" + std::string(sectionNumber);
    SectionTemplate result;
    result.count = ini.ReadInteger(section, "TextCount", 1);
    if (result.count > kMaxTemplateLines) {
        result.tooLong = true;
        return result;
    }
    for (std::int32_t k = 1; k <= result.count; ++k)
        result.lines.push_back(ini.ReadString(section, std::to_string(k), ""));
    return result;
}
