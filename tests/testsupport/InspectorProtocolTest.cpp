// The inspector's wire format, as both of its sides compile it: every field text comes back
// whole through a record, a request and an end line.
#include "testsupport/InspectorProtocol.h"

#include <gtest/gtest.h>

namespace {

using namespace inspector;

const std::string kEnd = "\x1E";  // the byte that starts an answer's end line

std::string Bytes(int first, int last) {
    std::string bytes;
    for (int b = first; b <= last; ++b) bytes += static_cast<char>(b);
    return bytes;
}

struct Field {
    const char* what;
    std::string text;
};

const Field kFields[] = {
    {"empty", ""},
    {"every control byte, the answer's end byte 0x1E among them", Bytes(0x00, 0x1F) + "\x7F"},
    {"backslashes that look like escapes", "\\t\\x41\\\\ C:\\d\\a.dwg \\"},
    {"Shift-JIS whose second byte is 0x5C", "C:\\\x95\x5C\\\x83\x5C.dwg"},
    {"half-width katakana", "\xDA\xB2\xB1\xB3\xC4"},
    {"UTF-8 kanji and a full-width blank", "\xE8\xA1\xA8\xE3\x80\x80\xE5\x9B\xB3"},
    {"every byte from 0x80", Bytes(0x80, 0xFF)},
};

TEST(InspectorProtocol, EveryFieldTextComesBackWholeThroughRecordsAndEndLines) {
    std::vector<std::string> fields;
    for (const Field& f : kFields) {
        SCOPED_TRACE(f.what);
        const std::string escaped = EscapeField(f.text);
        EXPECT_EQ(escaped.find_first_of("\t\r\n\x1E"), std::string::npos) << escaped;
        EXPECT_EQ(UnescapeField(escaped), f.text);

        std::string received = "out\n" + EndLine(1, f.text) + "next";
        const auto answer = TakeAnswer(received);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->output, "out\n");
        EXPECT_EQ(answer->code, 1);
        EXPECT_EQ(answer->reason, f.text);
        EXPECT_EQ(received, "next");
        fields.push_back(f.text);
    }
    const std::string twice = Record(fields) + Record({"x", ""});
    EXPECT_EQ(ParseRecords("\n" + twice), (std::vector<std::vector<std::string>>{fields, {"x", ""}}));
}

TEST(InspectorProtocol, EscapesAreWrittenAsTheShellScriptsReadThem) {
    EXPECT_EQ(EscapeField("a\\b\tc\r\n\x01\x1E\x7F~"), "a\\\\b\\tc\\r\\n\\x01\\x1E\\x7F~");
    EXPECT_EQ(Record({"1 2 3 4", "enabled,visible", "\xE8\xA1\xA8"}), "1 2 3 4\tenabled,visible\t\xE8\xA1\xA8\n");
    EXPECT_EQ(EndLine(0, "ignored"), kEnd + "0\n");
    EXPECT_EQ(EndLine(2, "usage: rect TITLE"), kEnd + "2 usage: rect TITLE\n");
    EXPECT_EQ(UnescapeField("\\xZ1\\x4"), "xZ1x4");  // no two hex digits: no byte
}

TEST(InspectorProtocol, AnAnswerIsTakenOnlyOnceItsEndLineHasComeWhole) {
    std::string received = "1 2\n" + kEnd;
    EXPECT_FALSE(TakeAnswer(received));
    received += "0\n" + kEnd + "1 no window\n" + kEnd;
    const auto first = TakeAnswer(received), second = TakeAnswer(received);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->output, "1 2\n");
    EXPECT_EQ(first->code, 0);
    EXPECT_EQ(second->output, "");
    EXPECT_EQ(second->reason, "no window");
    EXPECT_EQ(received, kEnd);
    received += "x\n";
    EXPECT_EQ(TakeAnswer(received)->code, -1);
}

TEST(InspectorProtocol, RequestsCarryEmptyArgumentsAndRefuseLineBreaksAndTabs) {
    const std::vector<std::string> args = {"set-text", "Marlowen", "Edit1", "", "\xE8\xA1\xA8"};
    const auto line = RequestLine(args);
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, "set-text\tMarlowen\tEdit1\t\t\xE8\xA1\xA8\n");
    EXPECT_EQ(SplitRequest(line->substr(0, line->size() - 1)), args);
    for (const char* bad : {"a\tb", "a\rb", "a\nb"}) EXPECT_FALSE(RequestLine({"click", bad})) << bad;
}

}  // namespace
