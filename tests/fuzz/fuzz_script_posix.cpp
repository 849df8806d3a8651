// marlowen-script's check and build over arbitrary data.ini bytes: no crash, no hang, and what
// they give keeps its form (findings on lines of the file, a script that ends in the fixed tail
// or a refusal with nothing written).
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

#include "Build.h"
#include "Checker.h"
#include "LayoutListing.h"

namespace {

// One file per process; each run removes it again, since libFuzzer may end the process
// without running destructors.
const std::string& FuzzPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("marlowen-fuzz-script-" + std::to_string(getpid()) + ".ini"))
            .string();
    return path;
}

constexpr std::string_view kTail = "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    int lines = 1;
    for (char c : bytes) lines += c == '\n';
    for (const Finding& finding : CheckSettings(bytes)) {
        if (finding.line < 1 || finding.line > lines || finding.message.empty()) std::abort();
    }

    {
        std::ofstream out(FuzzPath(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const IniFile ini(FuzzPath());
    BuildRequest request;
    request.section = std::string(1, static_cast<char>('1' + (size == 0 ? 0 : data[0] % 9)));
    request.files = {"C:\\d\\a b.dwg", "C:\\d\\\x95\x5C\\c.dwg"};
    for (int survey = 0; survey < 2; ++survey) {
        if (survey == 1) request.layouts = ParseLayoutListingFile("C:\\d\\a b.dwg\tModel\tL1\r\nC:\\x.dwg\tM\r\n");
        const BuildResult result = BuildScript(ini, request);
        if (result.refused ? (!result.script.empty() || result.refusal.empty()) : !result.script.ends_with(kTail))
            std::abort();
    }
    std::error_code ignored;
    std::filesystem::remove(FuzzPath(), ignored);
    return 0;
}
