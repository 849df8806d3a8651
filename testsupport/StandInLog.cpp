#include "StandInLog.h"

#include <fstream>
#include <iterator>
#include <utility>

#include "StandInLogCodec.h"

StandInLog::StandInLog(std::string path, Decoder decode) : path_(std::move(path)), decode_(decode) {}

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    // A line still being written has no LF yet and is left for the next read.
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

}  // namespace

std::vector<std::string> StandInLog::Lines() const {
    const std::vector<std::string> raw = RawLines();
    if (!decode_) return raw;
    std::vector<std::string> lines;
    for (const std::string& line : raw) lines.push_back(decode_(line));
    return lines;
}

std::vector<std::string> StandInLog::RawLines() const {
    std::ifstream in(path_, std::ios::binary);
    return SplitLines(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

// A quoted text is undone in the log's own bytes, where a Shift-JIS trail byte may be a
// backslash; only then is it decoded.
std::vector<std::string> StandInLog::QuotedTexts(const std::string& prefix, const std::string& opening) const {
    std::vector<std::string> texts;
    for (const std::string& line : RawLines()) {
        if (line.rfind(prefix, 0) != 0) continue;
        std::size_t at = line.find(opening);
        if (at == std::string::npos) continue;
        const std::string text = UnquoteLogText(line, at += opening.size() - 1);
        texts.push_back(decode_ ? decode_(text) : text);
    }
    return texts;
}

std::vector<std::string> StandInLog::Starting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (std::string& line : Lines())
        if (line.rfind(prefix, 0) == 0) found.push_back(std::move(line));
    return found;
}

int StandInLog::Count(const std::string& prefix) const { return static_cast<int>(Starting(prefix).size()); }

bool StandInLog::Has(const std::string& line) const { return IndexOfLine(Lines(), line) >= 0; }

std::vector<std::string> StandInLog::Typed() const { return QuotedTexts("recv ", " text=\""); }

std::vector<std::string> StandInLog::ScriptLines() const { return QuotedTexts("script-line ", "\""); }

int IndexOfLine(const std::vector<std::string>& lines, const std::string& line, bool prefix) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (prefix ? lines[i].rfind(line, 0) == 0 : lines[i] == line) return static_cast<int>(i);
    return -1;
}
