// What the program relies on from the settings file, for both the portable reader and
// writer and the profile API.
#include <gtest/gtest.h>

#include <string>

#include "settings/IniFile.h"
#include "testsupport/TempFolder.h"
#include "testsupport/Wine.h"
#include "text/AppError.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    // data.ini with the given lines, each ended by CR LF.
    IniFile WithLines(std::initializer_list<std::string> lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + "\r\n";
        WriteFileBytes(path_, bytes);
        return IniFile(path_);
    }

    struct Read {
        const char *section, *key, *fallback;
        std::string expected;
    };
    // Each read gives its literal text; a failing one names its key.
    static void ExpectReads(const IniFile& ini, std::initializer_list<Read> reads) {
        for (const Read& r : reads) {
            SCOPED_TRACE(std::string(r.section) + "/" + r.key);
            EXPECT_EQ(ini.ReadString(r.section, r.key, r.fallback), r.expected);
        }
    }

    TempFolder folder_;
    const std::string path_ = folder_.File("data.ini");
};

}  // namespace

TEST_F(IniFileTest, MissingFileGivesDefaults) {
    const IniFile ini(path_);
    EXPECT_EQ(ini.ReadString("Program", "File", ""), "");
    EXPECT_EQ(ini.ReadString("Section1", "Label", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("Section1", "TextCount", 1), 1);
    EXPECT_FALSE(std::filesystem::exists(path_)) << "reading must not create the file";
}

TEST_F(IniFileTest, ReadsTheExampleFile) {
    const IniFile ini = WithLines({"[Program]", "File=C:\\CAD\\cad.exe", "[Section1]", "Label=Print+A3", "TextCount=3",
                                   "1=open", "2=[FULLFILEPATH]", "3=close"});
    EXPECT_EQ(ini.ReadString("Program", "File", ""), "C:\\CAD\\cad.exe");
    EXPECT_EQ(ini.ReadString("Section1", "Label", ""), "Print+A3");
    EXPECT_EQ(ini.ReadInteger("Section1", "TextCount", 1), 3);
    EXPECT_EQ(ini.ReadString("Section1", "2", ""), "[FULLFILEPATH]");
    EXPECT_EQ(ini.ReadString("Section2", "Label", ""), "");
    EXPECT_EQ(ini.ReadString("Section1", "4", ""), "");
    EXPECT_EQ(ini.ReadString("Program", "Label", ""), "") << "keys belong to their own section";
}

TEST_F(IniFileTest, NamesIgnoreCaseAndSurroundingBlanks) {
    const IniFile ini = WithLines({"[section3]", "  textcount  = 4", "\tLABEL\t=x"});
    EXPECT_EQ(ini.ReadInteger("Section3", "TextCount", 1), 4);
    EXPECT_EQ(ini.ReadString("SECTION3", "Label", ""), "x");
}

TEST_F(IniFileTest, NumberedKeysAreMatchedAsText) {
    const IniFile ini = WithLines({"[Section1]", "TextCount=3", "01=zero-one", "3=three"});
    EXPECT_EQ(ini.ReadString("Section1", "1", ""), "");
    EXPECT_EQ(ini.ReadString("Section1", "2", ""), "");
    EXPECT_EQ(ini.ReadString("Section1", "3", ""), "three");
}

TEST_F(IniFileTest, ValueIsTrimmedTextAfterTheFirstEquals) {
    const IniFile ini = WithLines({"[S]", "a =  x = y  ", "b=", "c=   ", "d=\t1\t2\t"});
    ExpectReads(ini,
                {{"S", "a", "def", "x = y"}, {"S", "b", "def", ""}, {"S", "c", "def", ""}, {"S", "d", "def", "1\t2"}});
}

TEST_F(IniFileTest, EnclosingQuotesAreRemoved) {
    const IniFile ini =
        WithLines({"[Program]", "File=\"C:\\Program Files\\CAD\\cad.exe\"", "[Q]", "single='a b'", "empty=\"\"",
                   "mixed=\"a'", "open=\"a", "lone=\"", "inner=a\"b\"", "spaced=  \"x\"  "});
    ExpectReads(ini, {{"Program", "File", "", "C:\\Program Files\\CAD\\cad.exe"},
                      {"Q", "single", "", "a b"},
                      {"Q", "empty", "def", ""},
                      {"Q", "mixed", "", "\"a'"},
                      {"Q", "open", "", "\"a"},
                      {"Q", "lone", "", "\""},
                      {"Q", "inner", "", "a\"b\""},
                      {"Q", "spaced", "", "x"}});
}

TEST_F(IniFileTest, ShiftJisValuesComeBackAsTheirBytes) {
    const IniFile ini = WithLines({"[Section1]", "Label=印刷+Ａ３", "1=-insert ソ表 0,0", "[ゾ]", "k=v"});
    EXPECT_EQ(ini.ReadString("Section1", "Label", ""), "印刷+Ａ３");
    EXPECT_EQ(ini.ReadString("Section1", "1", ""), "-insert ソ表 0,0");
    // ゾ is 0x83 0x5D: its trail byte is not the closing bracket.
    EXPECT_EQ(ini.ReadString("ゾ", "k", ""), "v");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Bytes) {
    const std::string v2047(2047, 'a');
    const std::string v2048 = v2047 + "b";
    const IniFile ini = WithLines({"[S]", "exact=" + v2047, "over=" + v2048, "huge=" + std::string(100000, 'c')});
    EXPECT_EQ(ini.ReadString("S", "exact", ""), v2047);
    EXPECT_EQ(ini.ReadString("S", "over", ""), v2047);
    EXPECT_EQ(ini.ReadString("S", "huge", ""), std::string(2047, 'c'));
}

TEST_F(IniFileTest, LongDoubleByteValueIsCutNear2047Bytes) {
    std::string value;
    for (int i = 0; i < 1500; ++i) value += "ア";
    const IniFile ini = WithLines({"[S]", "k=" + value});
    const std::string got = ini.ReadString("S", "k", "");
    if (RunningUnderWine()) {
        // Wine reads through UTF-16 and converts back only whole characters: 1023 of them,
        // although it reports 2047 bytes.
        EXPECT_EQ(got, value.substr(0, 2046));
    } else {
        // The byte count rules: the 2047th byte is the lead byte of the 1024th character.
        EXPECT_EQ(got, value.substr(0, 2047));
    }
}

TEST_F(IniFileTest, ReadIntegerAppliesTheNumberRulesToTheTrimmedValue) {
    const IniFile ini = WithLines({"[S]", "hex=0x10", "blank=  -7  ", "word=3 lines", "empty=", "big=2147483648"});
    EXPECT_EQ(ini.ReadInteger("S", "hex", 1), 16);
    EXPECT_EQ(ini.ReadInteger("S", "blank", 1), -7);
    for (const char* key : {"word", "empty", "big", "missing"}) EXPECT_EQ(ini.ReadInteger("S", key, 1), 1) << key;
}

TEST_F(IniFileTest, WriteCreatesFileSectionAndKey) {
    IniFile ini(path_);
    ini.WriteString("Program", "File", "C:\\CAD\\cad.exe");
    EXPECT_EQ(ReadFileBytes(path_), "[Program]\r\nFile=C:\\CAD\\cad.exe\r\n");
    EXPECT_EQ(ini.ReadString("Program", "File", ""), "C:\\CAD\\cad.exe");
}

TEST_F(IniFileTest, WriteAddsKeyToItsSectionAndSectionToTheFile) {
    IniFile ini = WithLines({"[Section1]", "Label=A", "", "[Program]", "Other=1", "", "[Section2]", "Label=B"});
    ini.WriteString("Program", "File", "C:\\x.exe");
    ini.WriteString("New", "Key", "v");
    EXPECT_EQ(ini.ReadString("Program", "File", ""), "C:\\x.exe");
    EXPECT_EQ(ini.ReadString("Program", "Other", ""), "1");
    EXPECT_EQ(ini.ReadString("New", "Key", ""), "v");
    EXPECT_EQ(ini.ReadString("Section1", "Label", ""), "A");
    EXPECT_EQ(ini.ReadString("Section2", "Label", ""), "B");
    EXPECT_EQ(ini.ReadString("Section2", "File", ""), "") << "the key went into its own section";
}

TEST_F(IniFileTest, WriteReplacesTheValueAndKeepsItUnquoted) {
    IniFile ini = WithLines({"[program]", "file = \"C:\\old.exe\"", "[Section1]", "Label=A"});
    ini.WriteString("Program", "File", "C:\\Program Files\\CAD\\cad.exe");
    EXPECT_EQ(ini.ReadString("Program", "File", ""), "C:\\Program Files\\CAD\\cad.exe");
    const std::string bytes = ReadFileBytes(path_);
    EXPECT_EQ(bytes.find("old"), std::string::npos);
    EXPECT_NE(bytes.find("=C:\\Program Files\\CAD\\cad.exe\r\n"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find('"'), std::string::npos) << bytes;
}

TEST_F(IniFileTest, WriteKeepsShiftJisBytes) {
    IniFile ini(path_);
    ini.WriteString("Program", "File", "C:\\表\\ソフト\\cad.exe");
    EXPECT_EQ(ini.ReadString("Program", "File", ""), "C:\\表\\ソフト\\cad.exe");
    EXPECT_NE(ReadFileBytes(path_).find("File=C:\\\x95\x5C\\\x83\x5C"), std::string::npos);
}

TEST_F(IniFileTest, WriteLeavesOtherLinesAsTheyAre) {
    IniFile ini = WithLines(
        {"[Program]", "File=C:\\old.exe", "[Section1]", "Label = 印刷+A3", "TextCount= 2", "1 =open", "2=  close  "});
    ini.WriteString("Program", "File", "C:\\new.exe");
    const std::string bytes = ReadFileBytes(path_);
    if (RunningUnderWine()) {
        // Wine's profile writer rewrites the whole file from what it parsed: the untouched
        // lines come back with the blanks around "=" taken out. Windows keeps them; the
        // values read the same either way, which is all the program relies on.
        EXPECT_EQ(bytes,
                  "[Program]\r\nFile=C:\\new.exe\r\n[Section1]\r\nLabel=印刷+A3\r\nTextCount=2\r\n"
                  "1=open\r\n2=close\r\n");
    } else {
        EXPECT_EQ(bytes,
                  "[Program]\r\nFile=C:\\new.exe\r\n[Section1]\r\nLabel = 印刷+A3\r\nTextCount= 2\r\n"
                  "1 =open\r\n2=  close  \r\n");
    }
    EXPECT_EQ(ini.ReadString("Section1", "2", ""), "close");
}

TEST_F(IniFileTest, FailedWriteRaisesTheMessageWithThePath) {
    // A folder where the file should be: no platform can write it.
    std::filesystem::create_directory(path_);
    IniFile ini(path_);
    try {
        ini.WriteString("Program", "File", "C:\\x.exe");
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), path_ + " に書き込めません");
    }
}

TEST_F(IniFileTest, FailedWriteInMissingFolder) {
    IniFile ini((std::filesystem::path(folder_.File("no-such-folder")) / "data.ini").string());
    EXPECT_THROW(ini.WriteString("Program", "File", "x"), AppError);
}

TEST(SettingsPath, BesideTheExecutable) {
    EXPECT_EQ(SettingsPathFor("C:\\m\\Marlowen.exe"), "C:\\m\\data.ini");
    EXPECT_EQ(SettingsPathFor("C:\\表\\Marlowen.exe"), "C:\\表\\data.ini");
    EXPECT_EQ(SettingsPathFor("C:\\m\\ソ.exe"), "C:\\m\\data.ini");
    EXPECT_EQ(SettingsPathFor("C:Marlowen.exe"), "C:data.ini");
    EXPECT_EQ(SettingsPathFor("Marlowen.exe"), "data.ini");
}
