#include "TemplateExpansion.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "CadScriptLine.h"
#include "ScriptFile.h"
#include "TemplateVocabulary.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

// Turns CAD's dialogs back on, which the start-up watcher turned off, then ends CAD.
constexpr std::string_view kTail[] = {"new ", "filedia", "1", "cmddia", "1", "quit"};

// Many dropped files times a long template of long lines could do the same with few lines.
constexpr std::uint64_t kMaxScriptBytes = 512ull << 20;
constexpr std::string_view kScriptTooLarge = "スクリプトが %s バイトを超えるため作成できません";

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
    std::string ReplacePlaceholder(const std::string& line, const TemplateLineRole& role, int fileIndex) const;
    // The input lines CAD takes from the replaced line that hold the placeholder's text.
    void AddMarks(const std::string& line, const TemplateLineRole& role, int fileIndex,
                  std::vector<FollowMark>& marks) const;
    void ExpandLayoutLoop(const LoopUse& use, LineList& lines) const;
    int LayoutRow(std::string_view path);

    const ExpansionInput& in_;
    // Built at the first loop line: a template without one never reads the table.
    std::optional<LayoutRowIndex> layoutRows_;
};

Expansion TemplateExpander::Run() {
    // The drop hands over its template's own line count; a larger one must not read past it.
    const int lineCount =
        static_cast<int>(std::min<std::int64_t>(in_.lineCount, static_cast<std::int64_t>(in_.templateLines.size())));
    std::vector<TemplateLineRole> roles;
    roles.reserve(static_cast<std::size_t>(std::max(lineCount, 0)));
    for (int i = 0; i < lineCount; ++i) {
        roles.push_back(RoleOfTemplateLine(in_.templateLines[i]));
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
            const TemplateLineRole& role = roles[i];
            if (role.kind != TemplateLineRole::Kind::Loop) {
                CheckScriptLineCount(++lineTotal);
                const std::size_t cellBytes =
                    role.placeholder ? in_.droppedFiles.Cell(role.placeholder->column, k + 1).size() : 0;
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
            const TemplateLineRole& role = roles[i];
            if (role.kind == TemplateLineRole::Kind::Loop) {
                ExpandLayoutLoop(*nextLoop++, result.lines);
            } else if (role.placeholder) {
                result.lines.push_back(ReplacePlaceholder(line, role, k));
                AddMarks(result.lines.back(), role, k, result.marks);
            } else {
                result.lines.push_back(line);
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

std::string TemplateExpander::ReplacePlaceholder(const std::string& line, const TemplateLineRole& role,
                                                 int fileIndex) const {
    const std::string& cell = in_.droppedFiles.Cell(role.placeholder->column, fileIndex + 1);
    const std::size_t length = role.placeholder->text.size();
    std::string replaced;
    replaced.reserve(line.size() - length + cell.size());
    replaced.append(line, 0, role.at).append(cell).append(line, role.at + length);
    return replaced;
}

void TemplateExpander::AddMarks(const std::string& line, const TemplateLineRole& role, int fileIndex,
                                std::vector<FollowMark>& marks) const {
    const std::size_t begin = role.at;
    const std::size_t end = begin + in_.droppedFiles.Cell(role.placeholder->column, fileIndex + 1).size();
    for (const std::string_view piece : InputPieces(line)) {
        const std::size_t at = static_cast<std::size_t>(piece.data() - line.data());
        if (!piece.empty() && at < end && begin < at + piece.size())
            marks.push_back({fileIndex + 1, std::string(piece)});
    }
}

void TemplateExpander::ExpandLayoutLoop(const LoopUse& use, LineList& lines) const {
    int column = 2;  // the names run on across repetitions
    for (std::int32_t m = 0; m < use.count; ++m) {
        for (const std::string& bodyLine : in_.loopBody) {
            if (HoldsLayoutName(bodyLine)) {
                lines.push_back(in_.layouts.Cell(column++, use.row));
            } else {
                lines.push_back(bodyLine);
            }
        }
    }
}

int TemplateExpander::LayoutRow(std::string_view path) {
    if (!layoutRows_) layoutRows_.emplace(in_.layouts, in_.layoutRowCount);
    return layoutRows_->RowOf(path);
}

}  // namespace

LoopCut CutLoopBlock(LineList lines) {
    LoopCut cut;
    const std::ptrdiff_t a = FindMarkerLine(lines, kLoopMarker);
    const std::ptrdiff_t b = FindMarkerLine(lines, kLoopEndMarker);
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
