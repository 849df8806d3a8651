// The checker's line-level scan reads every value the program reads exactly as the INI-file
// object does: the portable reader natively, the profile API under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsScan.h"
#include "settings/IniFile.h"
#include "testsupport/TempFolder.h"

namespace {

constexpr char kMissing[] = "<missing>";

std::string ScannedValue(const SettingsScan& scan, const std::string& section, const std::string& key) {
    for (const ScannedSection& s : scan.sections) {
        if (s.name != section) continue;
        const ScannedKey* found = s.Find(key);
        return found ? found->Value() : kMissing;
    }
    return kMissing;
}

void ExpectAgreement(const std::string& bytes) {
    TempFolder folder;
    const std::string path = folder.File("data.ini");
    WriteFileBytes(path, bytes);
    const IniFile ini(path);
    const SettingsScan scan = ScanSettings(bytes);
    EXPECT_EQ(ScannedValue(scan, "Program", "File"), ini.ReadString("Program", "File", kMissing));
    for (int n = 1; n <= 9; ++n) {
        const std::string section = "Section" + std::to_string(n);
        for (const std::string key : {"Label", "TextCount", "1", "2", "3", "01", "k"})
            EXPECT_EQ(ScannedValue(scan, section, key), ini.ReadString(section, key, kMissing))
                << section << " " << key;
    }
}

TEST(ScanAgreement, NamesBlanksQuotesAndComments) {
    ExpectAgreement(
        "; comment=1\r\n[program]\r\n  file = \"C:\\Program Files\\cad.exe\"  \r\n"
        "[Section1] ; note\r\nlabel=印刷+Ａ３\r\nTEXTCOUNT= 3\r\n 1 =open\r\n2='a b'\r\n3=\"x\r\n"
        "01=zero\r\n;2=commented\r\nno equals here\r\nk=a=b\r\n");
}

TEST(ScanAgreement, RepeatedSectionsAndKeysTakeTheFirst) {
    ExpectAgreement(
        "[Section2]\r\nLabel=first\r\nlabel=second\r\n1=one\r\n[Section3]\r\nLabel=3\r\n"
        "[section2]\r\nLabel=again\r\n2=two\r\n");
}

TEST(ScanAgreement, KeysBeforeAnySectionAndLineEndings) {
    ExpectAgreement("Label=nowhere\n[Section4]\nLabel=lf only\n1=\"\"[FULLFILEPATH]\"\"\n[Section5]\r\nLabel=last");
}

TEST(ScanAgreement, ShiftJisWithBracketAndBackslashTrailBytes) {
    ExpectAgreement("[Section6]\r\nLabel=ソ表ゾ\r\n1=C:\\表\\ソフト\r\n[ゾ]\r\nLabel=x\r\n");
}

TEST(ScanAgreement, LongValuesAreCutAlike) {
    // (A value of 2047 bytes in quotes is where they part: Wine returns 2046 of them.)
    ExpectAgreement("[Section7]\r\nLabel=" + std::string(3000, 'a') + "\r\n1=\"" + std::string(2000, 'b') + "\"\r\n");
}

}  // namespace
