// The stand-in's event log as a file: one event a line, appended and flushed at once, so that a
// test reading it sees every event as it happens and a crash loses none. Two threads write to
// it: the window side, and the one that ends the process at /exitafter.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>

class LogFile {
public:
    // Milliseconds on the stand-in's own clock, written at the end of every line as " t=MS";
    // none: the lines carry no time.
    using Clock = std::function<double()>;

    // Takes over file (opened for appending; null: nothing is written).
    LogFile(std::FILE* file, Clock clock);
    ~LogFile() { Close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    void Write(std::string_view event);
    // The process's last lines before it ends with code: "failure WHAT" when a failure is
    // given, then "exit CODE". Nothing is written after them, whichever thread tries.
    void End(unsigned code, std::optional<std::string_view> failure = std::nullopt);
    void Close();

private:
    void WriteLocked(std::string_view event);

    std::mutex lock_;
    std::FILE* file_;
    Clock clock_;
};
