#include "Survey.h"

#include "CadCommands.h"
#include "ScriptFile.h"
#include "text/UnitFunc.h"

namespace {

constexpr std::string_view kActiveLayoutLabel = "アクティブなレイアウト:";
constexpr std::string_view kPromptEnd = ">:";
constexpr std::string_view kLayoutLabel = "レイアウト:";
constexpr std::string_view kBlockLabel = "ブロック名";

// The bytes from the 1-based position start on, count long, fewer when the text ends
// sooner, none when count is not positive.
std::string CopyBytes(std::string_view text, int start, int count) {
    if (count <= 0 || start > static_cast<int>(text.size())) {
        return {};
    }
    return std::string(text.substr(start - 1, count));
}

// A path with a blank is only whole in quotes: CAD's script reader takes a blank as Enter.
std::string Quoted(const std::string& path) { return '"' + path + '"'; }

}  // namespace

std::vector<FollowMark> SurveyMarks(const LineList& paths) {
    std::vector<FollowMark> marks;
    for (std::size_t k = 0; k < paths.size(); ++k) marks.push_back({static_cast<int>(k) + 1, Quoted(paths[k])});
    return marks;
}

LineList SurveyScript(const LineList& paths) {
    CheckScriptLineCount(static_cast<std::uint64_t>(paths.size()) * 4 + 1);
    LineList script;
    script.reserve(paths.size() * 4 + 1);
    for (const std::string& path : paths) {
        script.emplace_back("open");
        script.push_back(Quoted(path));
        script.emplace_back("layout");
        script.emplace_back("?");
    }
    // The end marker follows the last drawing's lines, so no drawings give no script at all.
    if (!paths.empty()) {
        script.emplace_back(kSurveyEndMarker);
    }
    return script;
}

LineList ParseLayoutListing(std::string_view stripped) {
    std::string s(stripped);
    if (const int p = UnitFunc::PosFrom(kActiveLayoutLabel, s, 0); p != 0) {
        s.erase(p - 1, kActiveLayoutLabel.size());
    }
    const int d = UnitFunc::PosFrom(kPromptEnd, s, 0);
    const int e = UnitFunc::PosFrom(".", s, d);
    LineList entries;
    // Entry 0 is never used; it keeps the span the survey has always taken, 3 bytes past the ".".
    entries.push_back(CopyBytes(s, d + 2, e - d + 2));
    if (d == 0) {
        return entries;
    }
    const int labelSize = static_cast<int>(kLayoutLabel.size());
    for (int o = e;;) {
        const int f = UnitFunc::PosFrom(kLayoutLabel, s, o);
        if (f == 0) {
            break;
        }
        const int g = UnitFunc::PosFrom(kBlockLabel, s, f);
        // A pane cut short after a label has no name to end; searching on from 0 would
        // find the same label again for ever.
        if (g == 0) {
            break;
        }
        entries.push_back(CopyBytes(s, f + labelSize, g - f - labelSize));
        o = g;
    }
    return entries;
}

SurveyRead SurveyReadAt(int i, int n) {
    if (i == n - 1) {
        return {n - i, kRestoreAndQuitCommands, false};
    }
    return {n - i, {kCloseDrawingCommand}, true};
}
