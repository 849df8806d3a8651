// The stand-in CAD's event log as tests and benchmarks read it: one event a line, LF-ended,
// texts quoted by StandInLogCodec. Lines keep the log's own bytes (Shift-JIS) unless a decoder
// is given, as the end-to-end side gives one for UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class StandInLog {
public:
    using Decoder = std::string (*)(const std::string&);
    explicit StandInLog(std::string path, Decoder decode = nullptr);

    // Every complete line; none while the stand-in has not written the file.
    std::vector<std::string> Lines() const;
    // The events that begin with prefix, in order.
    std::vector<std::string> Starting(const std::string& prefix) const;
    int Count(const std::string& prefix) const;
    bool Has(const std::string& line) const;
    // What was typed into CAD, one text per WM_COPYDATA ("recv ... text=").
    std::vector<std::string> Typed() const;
    // The script lines CAD took ("script-line").
    std::vector<std::string> ScriptLines() const;

    const std::string& Path() const { return path_; }

private:
    std::vector<std::string> RawLines() const;
    // The quoted text after opening (which ends in its '"') of each line that begins with prefix.
    std::vector<std::string> QuotedTexts(const std::string& prefix, const std::string& opening) const;

    std::string path_;
    Decoder decode_;
};

// Index of the first line equal to line (or starting with it, when prefix); -1 when none is.
int IndexOfLine(const std::vector<std::string>& lines, const std::string& line, bool prefix = false);
