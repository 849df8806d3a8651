// What tools/inspector's serve mode and its callers say to each other, compiled by both.
//
// A request is one line: the command's name and its arguments, separated by TAB. The answer
// is the command's output, records of TAB-separated fields one a line, and then the end line:
// 0x1E, the exit code and, when the command failed, a blank and the reason. A field holds no
// TAB or line break: "\", TAB, CR, LF and the other control bytes are escaped as \\ \t \r \n
// \xNN, so no field carries 0x1E either and the first one in the answer starts its end line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace inspector {

// The pieces of text between separators; a text without one is one piece, an empty text too.
std::vector<std::string> Split(std::string_view text, char separator);

std::string EscapeField(std::string_view text);
// Undoes EscapeField; a backslash that starts no escape stands for the byte after it.
std::string UnescapeField(std::string_view text);

// One record: the fields escaped, TAB between them, LF after.
std::string Record(const std::vector<std::string>& fields);
// The records of an output with their fields unescaped; empty lines hold none.
std::vector<std::vector<std::string>> ParseRecords(std::string_view output);

// Nothing when an argument holds a TAB or a line break, which the line cannot carry.
std::optional<std::string> RequestLine(const std::vector<std::string>& args);
// The name and arguments of a request line (without its LF).
std::vector<std::string> SplitRequest(std::string_view line);

// The end line; the reason is left out when the code is 0.
std::string EndLine(int code, std::string_view reason);

struct Answer {
    std::string output;
    int code = 0;        // -1 when the end line holds no number
    std::string reason;  // unescaped
};
// Takes the first answer off the front of what has come; nothing while its end line has not
// come whole.
std::optional<Answer> TakeAnswer(std::string& received);

}  // namespace inspector
