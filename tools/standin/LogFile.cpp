#include "LogFile.h"

#include <string>
#include <utility>

#include "testsupport/StandInLogCodec.h"

LogFile::LogFile(std::FILE* file, Clock clock) : file_(file), clock_(std::move(clock)) {}

void LogFile::Write(std::string_view event) {
    const std::lock_guard<std::mutex> hold(lock_);
    WriteLocked(event);
}

void LogFile::End(unsigned code, std::optional<std::string_view> failure) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (failure) WriteLocked("failure " + QuoteForLog(*failure));
    WriteLocked("exit " + std::to_string(code));
    // Closed: a line after "exit" would tell of a process that went on.
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void LogFile::Close() {
    const std::lock_guard<std::mutex> hold(lock_);
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void LogFile::WriteLocked(std::string_view event) {
    if (!file_) return;
    std::fwrite(event.data(), 1, event.size(), file_);
    if (clock_) std::fprintf(file_, " t=%.3f", clock_());
    std::fputc('\n', file_);
    std::fflush(file_);
}
