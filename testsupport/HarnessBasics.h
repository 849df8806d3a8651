// What every part of the end-to-end harness uses: its error, its one wait, its text
// conversion and whole-file reads and writes. Texts are UTF-8 unless a name says Shift-JIS.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace e2e {

struct HarnessError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Polls done() until it holds; throws, naming what was awaited, when timeoutMs pass first.
void WaitUntil(const std::function<bool()>& done, int timeoutMs, const std::string& what);

// Throw when a byte is no character of the source or the target lacks a character.
std::string Utf8ToSjis(const std::string& utf8);
std::string SjisToUtf8(const std::string& sjis);

std::string ReadBytes(const std::string& unixPath);
// Makes the folders above the file as needed.
void WriteBytes(const std::string& unixPath, const std::string& bytes);

}  // namespace e2e
