#include "testsupport/StandInLogCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/StandInLog.h"
#include "testsupport/TempFolder.h"

namespace {

TEST(StandInLogFormat, QuotedTextEscapesControlsAndKeepsShiftJis) {
    EXPECT_EQ(QuoteForLog("filedia\r"), "\"filedia\\r\"");
    EXPECT_EQ(QuoteForLog("a\"b\\c\n\t"), "\"a\\\"b\\\\c\\n\\t\"");
    EXPECT_EQ(QuoteForLog("表ｺ"), "\"表ｺ\"");
    EXPECT_EQ(QuoteForLog(std::string("\x01\x7f\x81", 3)), "\"\\x01\\x7f\\x81\"");
    EXPECT_EQ(QuoteForLog(std::string("\x81\x0d", 2)), "\"\\x81\\r\"");
}

// Whatever the stand-in quotes, the tests' reader gives back as the same bytes, stopping on the
// quote after it.
TEST(StandInLogFormat, QuotedTextReadsBackAsTheSameBytes) {
    const std::string cases[] = {
        "filedia\r",
        "a\"b\\c\n\t",
        std::string("\x00\x01\x1f\x7f", 4),
        "表示.dwg",  // 表 is 0x95 0x5C: its trail byte is a backslash
        "ソ\"",      // ソ is 0x83 0x5C, before a quote
        "ｺﾏﾝﾄﾞ: 平面図",
        std::string("\x81", 1),  // a lone lead byte at the end
        std::string("\x81\r", 2),
        std::string("\x9f"
                    "1",
                    2),
        "\\x41",
    };
    for (const std::string& bytes : cases) {
        const std::string line = "recv ansi text=" + QuoteForLog(bytes) + " t=1.000";
        std::size_t at = line.find('"');
        EXPECT_EQ(UnquoteLogText(line, at), bytes) << line;
        EXPECT_EQ(line.substr(at), "\" t=1.000") << line;
    }
}

// A decoder (the end-to-end side's, to UTF-8) is applied to the unquoted bytes, never to the
// quoted ones, in which a backslash may be the second byte of a character.
TEST(StandInLogReader, TextsAreUnquotedBeforeTheyAreDecoded) {
    TempFolder folder;
    WriteFileBytes(folder.File("cad.log"),
                   "recv ansi dwData=1 text=\"表\\r\"\n"
                   "script-line \"ソ\\x41\"\n"
                   "recv ansi dwData=1 text=\"unfinished");
    const auto highBytesAsMarks = [](const std::string& text) {
        std::string marked = text;
        for (char& c : marked) {
            if (static_cast<unsigned char>(c) >= 0x80) c = '#';
        }
        return marked;
    };
    const StandInLog raw(folder.File("cad.log"));
    EXPECT_EQ(raw.Typed(), std::vector<std::string>{"表\r"});
    EXPECT_EQ(raw.ScriptLines(), std::vector<std::string>{"ソA"});
    const StandInLog decoded(folder.File("cad.log"), +highBytesAsMarks);
    EXPECT_EQ(decoded.Typed(), std::vector<std::string>{"#\\\r"});
    EXPECT_EQ(decoded.ScriptLines(), std::vector<std::string>{"#\\A"});
    EXPECT_EQ(decoded.Lines(),
              (std::vector<std::string>{"recv ansi dwData=1 text=\"#\\\\r\"", "script-line \"#\\\\x41\""}));
}

TEST(StandInLogFormat, HexHasTwoDigitsPerByte) {
    const unsigned char bytes[] = {0x66, 0x0d, 0x00, 0xff};
    EXPECT_EQ(HexForLog(bytes, sizeof bytes), "660d00ff");
    EXPECT_EQ(HexForLog(bytes, 0), "");
}

}  // namespace
