// The parts of the INI-file object that do not depend on how the file is read and written.
#include "settings/IniFile.h"

#include <utility>

#include "text/UnitFunc.h"

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

// Both writers put every value into the file at once, so closing has nothing left to flush.
IniFile::~IniFile() = default;

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const {
    return UnitFunc::IntFromSetting(ReadString(section, key, ""), def);
}

std::string SettingsPathFor(std::string_view executablePath) {
    return UnitFunc::FolderWithSeparator(executablePath) + "data.ini";
}
