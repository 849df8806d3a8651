// The INI-file object over data.ini. IniFile.cpp reads and writes the file itself;
// IniFile_win.cpp calls the profile API. Both give the same results.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class IniFile {
public:
    explicit IniFile(std::string path);  // touches no file
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    ~IniFile();

    const std::string& Path() const { return path_; }

    // The value (at most 2047 bytes), or def when the file, section or key does not exist.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // The number rules of the settings file; def when missing or not a valid number.
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
    // Throws AppError "<path> に書き込めません" when the write fails.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

private:
    std::string path_;
};

// "data.ini" beside the executable whose full path is given.
std::string SettingsPathFor(std::string_view executablePath);
