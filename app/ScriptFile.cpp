#include "ScriptFile.h"

#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

// A layout count far beyond any drawing's, or many files times a long template, would fill
// memory long before the script is written; past this many script lines, the fixed tail
// included, the run ends with an error instead.
constexpr std::uint64_t kMaxScriptLines = 10'000'000;
constexpr std::string_view kTooManyLines = "スクリプトが %s 行を超えるため作成できません";

}  // namespace

void CheckScriptLineCount(std::uint64_t lines) {
    if (lines > kMaxScriptLines) {
        throw AppError(UnitFunc::Format(kTooManyLines, std::to_string(kMaxScriptLines)));
    }
}

std::string ScriptFileBytes(const LineList& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) {
        size += line.size() + 2;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines) {
        bytes.append(line).append("\r\n");
    }
    return bytes;
}
