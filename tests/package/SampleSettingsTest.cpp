// The sample data.ini of the release, read as the program reads it (the portable reader
// natively, the profile API under Wine): its bytes, its captions, and every button's template
// through the drop's and the batch run's own rules.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "app/TemplateExpansion.h"
#include "app/SectionDrop.h"
#include "app/SectionTemplate.h"
#include "settings/IniFile.h"
#include "text/ShiftJis.h"
#include "text/UnitFunc.h"

namespace {

const std::array<const char*, 9> kLabels = {
    "印刷+既定の出力先",        "PDF 出力+全レイアウト", "写しを保存+同じ場所へ",  "監査と+名前削除",
    "ﾚｲｱｳﾄ毎印刷+先に名前取得", "全体表示で+上書き保存", "2004 形式で+写しを保存", "DXF 書き出し",
    "C:\\出力へ+写しを保存"};
const std::array<const char*, 4> kFilePlaceholders = {"[FULLFILEPATH]", "[FILENAME]", "[FULLFILENAME]", "[FOLDER]"};

// Two drawings as the shell hands them over, the first in a folder with a blank.
const char kPlan[] = "C:\\図面\\1F 平面図.dwg";
const char kElevation[] = "D:\\案件\\立面図.dwg";

std::string FileBytes() {
    std::ifstream in(SAMPLE_DATA_INI, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The key names of every section as they stand in the file, the section names in small letters.
std::map<std::string, std::multiset<std::string>> KeysBySection(const std::string& bytes) {
    std::map<std::string, std::multiset<std::string>> keys;
    std::string section;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') section = Lower(line.substr(1, line.find(']') - 1));
        else if (line.find('=') != std::string::npos) keys[section].insert(line.substr(0, line.find('=')));
    }
    return keys;
}

// Whether the bytes at [at, at + length) lie between two double quotes of the line.
bool InsideQuotes(const std::string& line, std::size_t at, std::size_t length) {
    const std::size_t open = line.rfind('"', at);
    if (open == std::string::npos) return false;
    std::size_t quotesBefore = 0;
    for (std::size_t i = 0; i <= open; ++i) quotesBefore += line[i] == '"';
    return quotesBefore % 2 == 1 && line.find('"', at + length) != std::string::npos &&
           line.find('"', open + 1) >= at + length;
}

struct Drop {
    StringGridCells files{5, 3};
    LineList paths{kPlan, kElevation};
    StringGridCells layouts{5, 3};
    Drop() {
        for (int row = 1; row <= 2; ++row) {
            const std::string path = paths[static_cast<std::size_t>(row - 1)];
            const UnitFunc::PathParts parts = UnitFunc::SplitPath(path);
            files.SetCell(0, row, path);
            files.SetCell(1, row, parts.fileName);
            files.SetCell(2, row, parts.withoutExt);
            files.SetCell(3, row, parts.folder);
        }
        // As a survey of the same two drawings leaves the table.
        layouts.SetCell(0, 0, "取得完了");
        layouts.SetCell(1, 0, "ﾚｲｱｳﾄ数");
        layouts.SetCell(0, 1, kPlan);
        layouts.SetCell(1, 1, "2");
        layouts.SetCell(2, 1, "モデル");
        layouts.SetCell(3, 1, "平面図-A1");
        layouts.SetCell(0, 2, kElevation);
        layouts.SetCell(1, 2, "1");
        layouts.SetCell(2, 2, "モデル");
    }
};

SectionDropPlan Plan(const IniFile& ini, int section) {
    return PlanSectionDrop(ReadSectionTemplate(ini, std::to_string(section)), true);
}

Expansion Expand(const SectionDropPlan& plan, const Drop& drop) {
    return ExpandTemplate(
        {2, plan.cut.templateLines, plan.lineCount, plan.cut.loopBody, drop.files, drop.paths, drop.layouts, 2});
}

TEST(SampleSettings, FileIsShiftJisWithCrLfAndNoBlankAtALineEnd) {
    const std::string bytes = FileBytes();
    ASSERT_GT(bytes.size(), 1000u) << SAMPLE_DATA_INI;
    EXPECT_NE(bytes.compare(0, 3, "\xEF\xBB\xBF"), 0) << "no byte-order mark";
    EXPECT_EQ(bytes.compare(bytes.size() - 2, 2, "\r\n"), 0) << "the last line ends in CR LF";
    int doubleByte = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "LF without CR at byte " << i;
        }
        if (b == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "CR without LF at byte " << i;
            ASSERT_TRUE(i == 0 || (bytes[i - 1] != ' ' && bytes[i - 1] != '\t')) << "blank at a line end, byte " << i;
        }
        if (IsShiftJisLead(b)) {
            ASSERT_LT(i + 1, bytes.size());
            ASSERT_TRUE(IsShiftJisTrail(static_cast<unsigned char>(bytes[i + 1])))
                << "no Shift-JIS character at byte " << i;
            ++i;
            ++doubleByte;
        } else {
            ASSERT_TRUE(b < 0x80 || (b >= 0xA1 && b <= 0xDF)) << "no Shift-JIS character at byte " << i;
        }
    }
    EXPECT_GT(doubleByte, 100) << "the comments and captions are Japanese";
}

TEST(SampleSettings, CadProgramIsLeftEmptyAndEveryButtonHasItsCaption) {
    const IniFile ini(SAMPLE_DATA_INI);
    EXPECT_EQ(ini.ReadString("Program", "File", "(no key)"), "");
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(ini.ReadString("Section" + std::to_string(n), "Label", ""), kLabels[static_cast<std::size_t>(n - 1)])
            << "Section" << n;
}

TEST(SampleSettings, LineKeysAreExactlyOneToTextCountOnce) {
    const IniFile ini(SAMPLE_DATA_INI);
    const auto keys = KeysBySection(FileBytes());
    for (int n = 1; n <= 9; ++n) {
        const std::string section = "Section" + std::to_string(n);
        const std::int32_t count = ini.ReadInteger(section, "TextCount", -1);
        ASSERT_GT(count, 0) << section;
        std::multiset<std::string> expected = {"Label", "TextCount"};
        for (std::int32_t k = 1; k <= count; ++k) expected.insert(std::to_string(k));
        EXPECT_EQ(keys.at(Lower(section)), expected) << section;
    }
    EXPECT_EQ(keys.at("program"), std::multiset<std::string>{"File"});
}

// Only the first placeholder of a line is replaced, [LAYOUTNAME] only inside the loop body and
// file placeholders only outside it, and a marker counts only when it is the whole line.
TEST(SampleSettings, EveryTemplateLineFollowsTheExpansionRules) {
    const IniFile ini(SAMPLE_DATA_INI);
    for (int n = 1; n <= 9; ++n) {
        const SectionDropPlan plan = Plan(ini, n);
        ASSERT_EQ(plan.outcome, SectionDropPlan::Outcome::Run) << "Section" << n;
        const auto check = [&](const std::string& line, bool inBody) {
            int placeholders = 0;
            for (const char* p : kFilePlaceholders)
                for (std::size_t at = line.find(p); at != std::string::npos; at = line.find(p, at + 1)) {
                    ++placeholders;
                    EXPECT_FALSE(inBody) << "Section" << n << ": " << line;
                    EXPECT_TRUE(InsideQuotes(line, at, std::string(p).size())) << "Section" << n << ": " << line;
                }
            const bool layoutName = line.find("[LAYOUTNAME]") != std::string::npos;
            EXPECT_LE(placeholders + (layoutName ? 1 : 0), 1) << "Section" << n << ": " << line;
            EXPECT_EQ(layoutName, inBody && line == "[LAYOUTNAME]") << "Section" << n << ": " << line;
            if (Lower(line).find("loop") != std::string::npos) {
                EXPECT_EQ(line, "[LAYOUTLOOP]") << "Section" << n;
            }
            EXPECT_TRUE(line.empty() || (line.back() != ' ' && line.back() != '\t'))
                << "Section" << n << ": a blank at the end is one Enter more";
        };
        for (const auto& line : plan.cut.templateLines) check(line, false);
        for (const auto& line : plan.cut.loopBody) check(line, true);
    }
}

TEST(SampleSettings, EveryButtonWritesAScriptForTwoDrawingsWithTheirPathsQuoted) {
    const IniFile ini(SAMPLE_DATA_INI);
    const Drop drop;
    for (int n = 1; n <= 9; ++n) {
        const Expansion script = Expand(Plan(ini, n), drop);
        ASSERT_EQ(script.outcome, Expansion::Outcome::Lines) << "Section" << n;
        const std::string blankName = "1F 平面図";
        int plans = 0;
        for (const auto& line : script.lines)
            if (line.find(blankName) != std::string::npos) {
                ++plans;
                EXPECT_TRUE(InsideQuotes(line, line.find(blankName), blankName.size()))
                    << "Section" << n << ": " << line;
            }
        EXPECT_GE(plans, 1) << "Section" << n << " opens the dropped drawing";
        EXPECT_EQ(LineList(script.lines.end() - 6, script.lines.end()),
                  (LineList{"new ", "filedia", "1", "cmddia", "1", "quit"}));
    }
}

TEST(SampleSettings, WholeValueQuotesAreDroppedSoPathAnswersAreWrittenDoubled) {
    const IniFile ini(SAMPLE_DATA_INI);
    EXPECT_EQ(ReadSectionTemplate(ini, "3").lines,
              (LineList{"open \"[FULLFILEPATH]\"", "saveas", "", "\"[FULLFILENAME]_copy.dwg\"", "close"}));
    EXPECT_EQ(ReadSectionTemplate(ini, "9").lines,
              (LineList{"open \"[FULLFILEPATH]\"", "saveas", "", "\"C:\\出力\\[FILENAME]\"", "close"}));
}

TEST(SampleSettings, PerLayoutButtonPlotsEverySurveyedLayoutOfEachDrawing) {
    const IniFile ini(SAMPLE_DATA_INI);
    const Expansion script = Expand(Plan(ini, 5), Drop());
    ASSERT_EQ(script.outcome, Expansion::Outcome::Lines);
    EXPECT_EQ(script.lines, (LineList{"open \"C:\\図面\\1F 平面図.dwg\"",
                                      "BACKGROUNDPLOT 0",
                                      "-plot",
                                      "N",
                                      "モデル",
                                      "",
                                      "",
                                      "N",
                                      "N",
                                      "Y",
                                      "-plot",
                                      "N",
                                      "平面図-A1",
                                      "",
                                      "",
                                      "N",
                                      "N",
                                      "Y",
                                      "close",
                                      "open \"D:\\案件\\立面図.dwg\"",
                                      "BACKGROUNDPLOT 0",
                                      "-plot",
                                      "N",
                                      "モデル",
                                      "",
                                      "",
                                      "N",
                                      "N",
                                      "Y",
                                      "close",
                                      "new ",
                                      "filedia",
                                      "1",
                                      "cmddia",
                                      "1",
                                      "quit"}));
}

TEST(SampleSettings, PerLayoutButtonAsksForASurveyFirst) {
    const IniFile ini(SAMPLE_DATA_INI);
    Drop drop;
    drop.layouts.SetRowCount(1);
    EXPECT_EQ(Expand(Plan(ini, 5), drop).outcome, Expansion::Outcome::NeedSurvey);
    for (int n : {1, 2, 3, 4, 6, 7, 8, 9})
        EXPECT_EQ(Expand(Plan(ini, n), drop).outcome, Expansion::Outcome::Lines) << n;
}

}  // namespace
