// The INI-file object on the system's profile API.
#include <windows.h>

#include <cstring>

#include "settings/IniFile.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    // 2047 bytes of value and the terminating zero.
    char buffer[2048] = {};
    const DWORD length = GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                                  std::string(def).c_str(), buffer, sizeof buffer, path_.c_str());
    // Trust the zero over the count: a reader that ran out of room converting double-byte
    // text may report the full buffer without having filled it.
    return std::string(buffer, strnlen(buffer, length));
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), std::string(value).c_str(),
                                    path_.c_str())) {
        throw AppError(UnitFunc::Format("%s に書き込めません", path_));
    }
}
