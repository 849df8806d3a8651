#include "TemplateExpansion.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

#include "ScriptFile.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

constexpr std::string_view kLoopLine = "[LAYOUTLOOP]";
constexpr std::string_view kLoopEnd = "[LOOPEND]";
constexpr std::string_view kLayoutName = "[LAYOUTNAME]";

struct Placeholder {
    std::string_view text;
    int column;  // of the dropped-file table
};
// Tested in this order; only the first one that a line contains is replaced.
constexpr Placeholder kPlaceholders[] = {
    {"[FULLFILEPATH]", 0}, {"[FILENAME]", 1}, {"[FULLFILENAME]", 2}, {"[FOLDER]", 3}};

// Turns CAD's dialogs back on, which the start-up watcher turned off, then ends CAD.
constexpr std::string_view kTail[] = {"new ", "filedia", "1", "cmddia", "1", "quit"};

// Many dropped files times a long template of long lines could do the same with few lines.
constexpr std::uint64_t kMaxScriptBytes = 512ull << 20;
constexpr std::string_view kScriptTooLarge = "スクリプトが %s バイトを超えるため作成できません";

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Index of the first line equal to the marker regardless of letter case, or -1.
std::ptrdiff_t FindMarkerLine(const LineList& lines, std::string_view marker) {
    const auto it = std::find_if(lines.begin(), lines.end(), [marker](const std::string& line) {
        return std::equal(line.begin(), line.end(), marker.begin(), marker.end(),
                          [](char a, char b) { return AsciiUpper(a) == AsciiUpper(b); });
    });
    return it == lines.end() ? -1 : it - lines.begin();
}

bool Contains(std::string_view line, std::string_view text) { return line.find(text) != std::string_view::npos; }

// What a template line does for every file, found once for the whole drop.
struct LinePlan {
    bool loop = false;
    const Placeholder* placeholder = nullptr;  // the one replaced, if any
    std::size_t at = 0;                        // its byte index in the line
};

LinePlan PlanLine(const std::string& line) {
    LinePlan plan;
    if (Contains(line, kLoopLine)) {
        plan.loop = true;
        return plan;
    }
    for (const Placeholder& placeholder : kPlaceholders) {
        if (const std::size_t at = line.find(placeholder.text); at != std::string::npos) {
            plan.placeholder = &placeholder;
            plan.at = at;
            break;
        }
    }
    return plan;
}

class TemplateExpander {
public:
    explicit TemplateExpander(const ExpansionInput& in) : in_(in) {}
    Expansion Run();

private:
    // A loop line met for one file: the drawing's layout row (0: none) and how often the
    // body is written.
    struct LoopUse {
        int row = 0;
        std::int32_t count = 0;
    };

    std::string_view PathOf(int fileIndex) const;
    std::string ReplacePlaceholder(const std::string& line, const LinePlan& plan, int fileIndex) const;
    void ExpandLayoutLoop(const LoopUse& use, LineList& lines) const;
    int LayoutRow(std::string_view path);

    const ExpansionInput& in_;
    // Path -> last row among rows 1 .. fileCount that holds it; built at the first loop line,
    // so that many dropped files do not each scan the whole table.
    std::unordered_map<std::string_view, int> layoutRows_;
    bool layoutRowsBuilt_ = false;
};

Expansion TemplateExpander::Run() {
    // The drop hands over its template's own line count; a larger one must not read past it.
    const int lineCount =
        static_cast<int>(std::min<std::int64_t>(in_.lineCount, static_cast<std::int64_t>(in_.templateLines.size())));
    std::vector<LinePlan> plans;
    for (int i = 0; i < lineCount; ++i) {
        plans.push_back(PlanLine(in_.templateLines[i]));
    }

    // Every loop line's layouts first: a refusal or a bad count then costs no script
    // building, and the script's size is known before it is built.
    std::vector<LoopUse> loops;
    std::uint64_t lineTotal = std::size(kTail);
    std::uint64_t byteTotal = 0;
    std::uint64_t bodyBytes = 0;
    for (const std::string& line : in_.loopBody) bodyBytes += line.size() + 2;
    const auto addBytes = [&byteTotal](std::uint64_t bytes) {
        byteTotal += bytes;
        if (byteTotal > kMaxScriptBytes) {
            throw AppError(UnitFunc::Format(kScriptTooLarge, std::to_string(kMaxScriptBytes)));
        }
    };
    for (int k = 0; k < in_.fileCount; ++k) {
        for (int i = 0; i < lineCount; ++i) {
            const LinePlan& plan = plans[i];
            if (!plan.loop) {
                CheckScriptLineCount(++lineTotal);
                const std::size_t cellBytes =
                    plan.placeholder ? in_.droppedFiles.Cell(plan.placeholder->column, k + 1).size() : 0;
                addBytes(in_.templateLines[i].size() + cellBytes + 2);
                continue;
            }
            if (in_.layouts.RowCount() == 1) {
                Expansion refusal;
                refusal.outcome = Expansion::Outcome::NeedSurvey;
                return refusal;
            }
            LoopUse use;
            use.row = LayoutRow(PathOf(k));
            if (use.row != 0) {
                const std::string& countText = in_.layouts.Cell(1, use.row);
                const std::optional<std::int32_t> count = UnitFunc::StrToInt(countText);
                if (!count) {
                    Expansion notInteger;
                    notInteger.outcome = Expansion::Outcome::NotInteger;
                    notInteger.badNumber = countText;
                    return notInteger;
                }
                if (*count > 0 && !in_.loopBody.empty()) {
                    use.count = *count;
                    lineTotal += static_cast<std::uint64_t>(*count) * in_.loopBody.size();
                    CheckScriptLineCount(lineTotal);
                    addBytes(static_cast<std::uint64_t>(*count) * bodyBytes);
                }
            }
            loops.push_back(use);
        }
    }

    Expansion result;
    result.lines.reserve(lineTotal);
    auto nextLoop = loops.cbegin();
    for (int k = 0; k < in_.fileCount; ++k) {
        for (int i = 0; i < lineCount; ++i) {
            const std::string& line = in_.templateLines[i];
            const LinePlan& plan = plans[i];
            if (plan.loop) {
                ExpandLayoutLoop(*nextLoop++, result.lines);
            } else {
                result.lines.push_back(plan.placeholder ? ReplacePlaceholder(line, plan, k) : line);
            }
        }
    }
    result.lines.insert(result.lines.end(), std::begin(kTail), std::end(kTail));
    return result;
}

// Item k of the dropped-file list; a drop count beyond the list reads as no path.
std::string_view TemplateExpander::PathOf(int fileIndex) const {
    return fileIndex < static_cast<int>(in_.droppedPaths.size()) ? in_.droppedPaths[fileIndex] : std::string_view();
}

std::string TemplateExpander::ReplacePlaceholder(const std::string& line, const LinePlan& plan, int fileIndex) const {
    const std::string& cell = in_.droppedFiles.Cell(plan.placeholder->column, fileIndex + 1);
    const std::size_t length = plan.placeholder->text.size();
    std::string replaced;
    replaced.reserve(line.size() - length + cell.size());
    replaced.append(line, 0, plan.at).append(cell).append(line, plan.at + length);
    return replaced;
}

void TemplateExpander::ExpandLayoutLoop(const LoopUse& use, LineList& lines) const {
    int column = 2;  // the names run on across repetitions
    for (std::int32_t m = 0; m < use.count; ++m) {
        for (const std::string& bodyLine : in_.loopBody) {
            if (Contains(bodyLine, kLayoutName)) {
                lines.push_back(in_.layouts.Cell(column++, use.row));
            } else {
                lines.push_back(bodyLine);
            }
        }
    }
}

int TemplateExpander::LayoutRow(std::string_view path) {
    if (!layoutRowsBuilt_) {
        // Rows of the current drop only; a later row with the same path replaces an earlier one.
        layoutRows_.reserve(static_cast<std::size_t>(std::max(in_.fileCount, 0)));
        for (int row = 1; row <= in_.fileCount; ++row) {
            const std::string& cell = in_.layouts.Cell(0, row);
            if (!cell.empty()) {
                layoutRows_[cell] = row;
            }
        }
        layoutRowsBuilt_ = true;
    }
    const auto it = layoutRows_.find(path);
    return it == layoutRows_.end() ? 0 : it->second;
}

}  // namespace

LoopCut CutLoopBlock(LineList lines) {
    LoopCut cut;
    const std::ptrdiff_t a = FindMarkerLine(lines, kLoopLine);
    const std::ptrdiff_t b = FindMarkerLine(lines, kLoopEnd);
    if (a >= 0 && b > a) {
        cut.loopBody.assign(std::make_move_iterator(lines.begin() + a + 1), std::make_move_iterator(lines.begin() + b));
        lines.erase(lines.begin() + a + 1, lines.begin() + b + 1);
    } else if (a >= 0) {
        cut.malformed = true;
    }
    cut.templateLines = std::move(lines);
    return cut;
}

Expansion ExpandTemplate(const ExpansionInput& in) { return TemplateExpander(in).Run(); }
