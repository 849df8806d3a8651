#include "StandInLog.h"

#include <fstream>
#include <iterator>
#include <utility>

StandInLog::StandInLog(std::string path, Decoder decode) : path_(std::move(path)), decode_(decode) {}

std::vector<std::string> StandInLog::Lines() const {
    std::ifstream in(path_, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (decode_) text = decode_(text);
    std::vector<std::string> lines;
    // A line still being written has no LF yet and is left for the next read.
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> StandInLog::Starting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (std::string& line : Lines())
        if (line.rfind(prefix, 0) == 0) found.push_back(std::move(line));
    return found;
}

int StandInLog::Count(const std::string& prefix) const { return static_cast<int>(Starting(prefix).size()); }

bool StandInLog::Has(const std::string& line) const { return IndexOfLine(Lines(), line) >= 0; }

std::vector<std::string> StandInLog::Typed() const {
    std::vector<std::string> texts;
    for (const std::string& line : Starting("recv ")) {
        std::size_t at = line.find(" text=\"");
        if (at != std::string::npos) texts.push_back(UnquoteLogText(line, at += 6));
    }
    return texts;
}

std::vector<std::string> StandInLog::ScriptLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : Starting("script-line ")) {
        std::size_t at = line.find('"');
        if (at != std::string::npos) lines.push_back(UnquoteLogText(line, at));
    }
    return lines;
}

std::string UnquoteLogText(const std::string& quoted, std::size_t& at) {
    std::string text;
    for (++at; at < quoted.size() && quoted[at] != '"'; ++at) {
        char c = quoted[at];
        if (c == '\\' && at + 1 < quoted.size()) {
            c = quoted[++at];
            if (c == 'r') {
                c = '\r';
            } else if (c == 'n') {
                c = '\n';
            } else if (c == 't') {
                c = '\t';
            } else if (c == 'x' && at + 2 < quoted.size()) {
                c = static_cast<char>(std::stoi(quoted.substr(at + 1, 2), nullptr, 16));
                at += 2;
            }
        }
        text += c;
    }
    return text;
}

int IndexOfLine(const std::vector<std::string>& lines, const std::string& line, bool prefix) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (prefix ? lines[i].rfind(line, 0) == 0 : lines[i] == line) return static_cast<int>(i);
    return -1;
}
