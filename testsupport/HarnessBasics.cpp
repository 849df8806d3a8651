#include "HarnessBasics.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "testsupport/Wait.h"
#include "text/Encoding.h"

namespace e2e {

void WaitUntil(const std::function<bool()>& done, int timeoutMs, const std::string& what) {
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); };
    if (!PollUntil(done, timeoutMs, pause))
        throw HarnessError("waited " + std::to_string(timeoutMs) + " ms in vain for " + what);
}

std::string Utf8ToSjis(const std::string& utf8) {
    bool lost = false;
    std::string sjis = ShiftJisFromUtf8(utf8, &lost);
    if (lost) throw HarnessError("not UTF-8 that Shift-JIS can carry: '" + utf8 + "'");
    return sjis;
}

std::string SjisToUtf8(const std::string& sjis) {
    bool lost = false;
    std::string utf8 = Utf8FromShiftJis(sjis, &lost);
    if (lost) throw HarnessError("not Shift-JIS: '" + utf8 + "' (\"?\" where a byte starts no character)");
    return utf8;
}

std::string ReadBytes(const std::string& unixPath) {
    std::ifstream in(unixPath, std::ios::binary);
    if (!in) throw HarnessError("cannot read " + unixPath);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteBytes(const std::string& unixPath, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(unixPath).parent_path());
    std::ofstream out(unixPath, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw HarnessError("cannot write " + unixPath);
}

}  // namespace e2e
