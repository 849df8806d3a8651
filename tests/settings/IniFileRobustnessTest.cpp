// Whatever data.ini holds, reading it must end soon and without a crash; the program reads
// it at start-up and at every drop.
#include <gtest/gtest.h>

#include <ctime>
#include <cstdint>
#include <string>

#include "settings/IniFile.h"
#include "testsupport/TempFolder.h"

namespace {

// Processor time, generous against the milliseconds a linear reader needs and far below what
// a quadratic one would take. (<chrono> cannot be compiled with the Shift-JIS literals.)
constexpr std::clock_t kTimeLimit = 10 * CLOCKS_PER_SEC;

std::string JunkBytes(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// Reads every key the program reads, as at start-up and at a drop on each button.
void ReadLikeTheProgram(const IniFile& ini) {
    ini.ReadString("Program", "File", "");
    for (int n = 1; n <= 9; ++n) {
        const std::string section = "Section" + std::to_string(n);
        ini.ReadString(section, "Label", "");
        const int count = ini.ReadInteger(section, "TextCount", 1);
        for (int k = 1; k <= count && k <= 3; ++k) ini.ReadString(section, std::to_string(k), "");
    }
}

}  // namespace

TEST(IniFileRobustness, BinaryJunk) {
    TempFolder folder;
    const std::string path = folder.File("data.ini");
    const std::clock_t start = std::clock();
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        WriteFileBytes(path, JunkBytes(256 * 1024, seed));
        const IniFile ini(path);
        ReadLikeTheProgram(ini);
        EXPECT_EQ(ini.ReadString("Nowhere", "Nothing", "def"), "def");
    }
    EXPECT_LT(std::clock() - start, kTimeLimit);
}

TEST(IniFileRobustness, JunkAroundRealSectionsStillReads) {
    TempFolder folder;
    const std::string path = folder.File("data.ini");
    WriteFileBytes(path, "[Program]\r\nFile=C:\\cad.exe\r\n" + JunkBytes(4096, 7) + "\r\n[Section1]\r\nLabel=A\r\n");
    const IniFile ini(path);
    EXPECT_EQ(ini.ReadString("Program", "File", ""), "C:\\cad.exe");
}

TEST(IniFileRobustness, HundredThousandByteLines) {
    TempFolder folder;
    const std::string path = folder.File("data.ini");
    const std::string longLine(100000, 'x');
    WriteFileBytes(path, "[" + longLine + "]\r\n" + longLine + "\r\n[" + longLine + "\r\n[Section1]\r\n" + longLine +
                             "=" + longLine + "\r\nLabel=" + longLine + "\r\nTextCount=2\r\n");
    const std::clock_t start = std::clock();
    const IniFile ini(path);
    EXPECT_EQ(ini.ReadString("Section1", "Label", ""), std::string(2047, 'x'));
    EXPECT_EQ(ini.ReadInteger("Section1", "TextCount", 1), 2);
    EXPECT_EQ(ini.ReadString(longLine, "x", "def"), "def");
    EXPECT_LT(std::clock() - start, kTimeLimit);
}

TEST(IniFileRobustness, HundredThousandSections) {
    TempFolder folder;
    const std::string path = folder.File("data.ini");
    std::string bytes;
    for (int i = 0; i < 100000; ++i) bytes += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    bytes += "[Section9]\r\nLabel=last\r\n";
    WriteFileBytes(path, bytes);
    const std::clock_t start = std::clock();
    IniFile ini(path);
    ReadLikeTheProgram(ini);
    EXPECT_EQ(ini.ReadString("Section9", "Label", ""), "last");
    EXPECT_EQ(ini.ReadString("S99999", "k", ""), "99999");
    ini.WriteString("Program", "File", "C:\\cad.exe");
    EXPECT_EQ(ini.ReadString("Program", "File", ""), "C:\\cad.exe");
    EXPECT_EQ(ini.ReadString("S50000", "k", ""), "50000");
    EXPECT_LT(std::clock() - start, kTimeLimit);
}
