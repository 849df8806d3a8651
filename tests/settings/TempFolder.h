// A fresh folder per test, removed afterwards, and small file helpers.
#pragma once

#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Full path of a file in the folder, as the program would pass it.
    std::string File(const std::string& name) const;

private:
    std::filesystem::path folder_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

// True when the Windows build runs under Wine, whose profile writer differs from Windows.
bool RunningUnderWine();
