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

    // The folder itself and the full path of a file in it, as the program would pass them.
    std::string Path() const { return folder_.string(); }
    std::string File(const std::string& name) const;

private:
    std::filesystem::path folder_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
