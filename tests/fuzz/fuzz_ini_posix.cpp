// The portable INI reader and writer over arbitrary file contents: every read the program
// makes, then a write, which must read back as written.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

#include "settings/IniFile.h"

namespace {

// One file per process; each run removes it again, since libFuzzer may end the process
// without running destructors.
const std::string& FuzzPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("marlowen-fuzz-" + std::to_string(getpid()) + ".ini")).string();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(FuzzPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    IniFile ini(FuzzPath());
    if (ini.ReadString("Program", "File", "").size() > 2047) std::abort();
    for (int n = 1; n <= 9; ++n) {
        const std::string section = "Section" + std::to_string(n);
        ini.ReadString(section, "Label", "");
        const int count = ini.ReadInteger(section, "TextCount", 1);
        for (int k = 1; k <= count && k <= 4; ++k) ini.ReadString(section, std::to_string(k), "");
    }
    const std::string value = "C:\\Program Files\\CAD\\cad.exe";
    ini.WriteString("Program", "File", value);
    if (ini.ReadString("Program", "File", "") != value) std::abort();
    ini.WriteString("section1", "textcount", "0x10");
    if (ini.ReadInteger("Section1", "TextCount", 1) != 16) std::abort();
    if (ini.ReadString("Program", "File", "") != value) std::abort();
    std::error_code ignored;
    std::filesystem::remove(FuzzPath(), ignored);
    return 0;
}
