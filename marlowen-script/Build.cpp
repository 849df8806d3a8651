#include "Build.h"

#include <algorithm>
#include <utility>

#include "app/CadScriptLine.h"
#include "app/PathRefusal.h"
#include "app/ScriptFile.h"
#include "app/SectionDrop.h"
#include "app/SectionTemplate.h"
#include "app/TemplateExpansion.h"
#include "app/TemplateVocabulary.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

BuildResult Refusal(ConsoleText message) {
    BuildResult result;
    result.refused = true;
    result.refusal = std::move(message);
    return result;
}

// The shell hands such paths over changed, so the window refuses the drop before anything.
std::optional<ConsoleText> RefusedPaths(const std::vector<std::string>& files) {
    std::vector<PathFault> faults;
    std::vector<ConsoleText> names;
    for (const std::string& file : files) {
        const PathFault fault = ClassifyAnsiPath(file);
        if (fault == PathFault::None) continue;
        faults.push_back(fault);
        names.push_back(ConsoleText::Path(file));
    }
    if (faults.empty()) return std::nullopt;
    const PathRefusalText text = DescribeRefusedPaths(faults);
    return JoinRefusal<ConsoleText>(ConsoleText(text.intro), names, text.listed, ConsoleText(text.more));
}

ConsoleText Note(const std::string& file, std::string_view text) {
    ConsoleText note = ConsoleText::Path(file);
    note += ": ";
    note += text;
    return note;
}

// Why a loop line writes nothing for a file, when it does not.
std::optional<std::string> EmptyLoopReason(const StringGridCells& layouts, const LayoutRowIndex& rows,
                                           const std::string& path, int fileCount) {
    if (const int row = rows.RowOf(path); row != 0) {
        if (UnitFunc::StrToInt(layouts.Cell(1, row)).value_or(0) > 0) return std::nullopt;
        return "レイアウト一覧のこの図面の行 (" + std::to_string(row) +
               " 行目) にはレイアウトがないため、ループの行は何も書きません";
    }
    for (int r = fileCount + 1; r < layouts.RowCount(); ++r)
        if (layouts.Cell(0, r) == path)
            return "レイアウト一覧の " + std::to_string(r) + " 行目にありますが、ドロップしたファイルの数 (" +
                   std::to_string(fileCount) + ") より下の行は探されないため、ループの行は何も書きません";
    return std::string("レイアウト一覧にこの図面がないため、ループの行は何も書きません");
}

}  // namespace

BuildResult BuildScript(const IniFile& ini, const BuildRequest& request) {
    if (std::optional<ConsoleText> refused = RefusedPaths(request.files)) return Refusal(std::move(*refused));

    const int fileCount = static_cast<int>(request.files.size());
    StringGridCells droppedFiles(5, fileCount + 1);
    for (int k = 0; k < fileCount; ++k) SetDroppedFileRow(droppedFiles, k + 1, request.files[k]);

    const std::string section = "Section" + request.section;
    const bool hasCaption = !UnitFunc::CaptionFromLabel(ini.ReadString(section, "Label", "")).empty();
    const SectionDropPlan plan = PlanSectionDrop(ReadSectionTemplate(ini, request.section), hasCaption);
    if (plan.outcome != SectionDropPlan::Outcome::Run) return Refusal(ConsoleText(RefusalMessage(plan.outcome)));

    const StringGridCells noSurvey(5, 1);
    const StringGridCells& layouts = request.layouts ? *request.layouts : noSurvey;
    Expansion expansion;
    try {
        expansion = ExpandTemplate({fileCount, plan.cut.templateLines, plan.lineCount, plan.cut.loopBody, droppedFiles,
                                    request.files, layouts, fileCount});
    } catch (const AppError& error) {
        return Refusal(ConsoleText(error.what()));
    }
    switch (expansion.outcome) {
    case Expansion::Outcome::NeedSurvey: return Refusal(ConsoleText(kNeedSurveyMessage));
    case Expansion::Outcome::NotInteger:
        return Refusal(ConsoleText(UnitFunc::Format("'%s' は整数ではありません", expansion.badNumber)));
    case Expansion::Outcome::Lines: break;
    }

    BuildResult result;
    result.script = ScriptFileBytes(expansion.lines);
    const int lineCount = std::max(0, std::min<int>(plan.lineCount, static_cast<int>(plan.cut.templateLines.size())));
    std::vector<TemplateLineRole> roles;
    for (int i = 0; i < lineCount; ++i) roles.push_back(RoleOfTemplateLine(plan.cut.templateLines[i]));
    const LayoutRowIndex layoutRows(layouts, fileCount);
    for (int k = 0; k < fileCount; ++k) {
        bool loopNoted = false;
        for (int i = 0; i < lineCount; ++i) {
            const std::string& line = plan.cut.templateLines[i];
            const TemplateLineRole& role = roles[i];
            if (role.kind == TemplateLineRole::Kind::Loop && !loopNoted && !plan.cut.loopBody.empty()) {
                if (const auto reason = EmptyLoopReason(layouts, layoutRows, request.files[k], fileCount))
                    result.notes.push_back(Note(request.files[k], *reason));
                loopNoted = true;
            }
            if (role.kind != TemplateLineRole::Kind::Placeholder) continue;
            const std::string& inserted = droppedFiles.Cell(role.placeholder->column, k + 1);
            if (inserted.find(' ') != std::string::npos &&
                !InsideDoubleQuotes(line, role.at, role.placeholder->text.size()))
                result.notes.push_back(
                    Note(request.files[k], "空白を含むパスが二重引用符の外に入る行があります ('" + line +
                                               "')。CAD のスクリプトでは空白が Enter になり、2 つの答えに分かれます"));
        }
    }
    return result;
}

FolderArguments FolderArgumentsFrom(DropExpansion<char> expansion) {
    FolderArguments arguments;
    if (expansion.outcome == FolderDropOutcome::Drawings) {
        arguments.files = std::move(expansion.paths);
        return arguments;
    }
    const PathRefusalText text = DescribeFolderRefusal(expansion);
    std::vector<ConsoleText> names;
    for (const std::string& folder : expansion.folders) names.push_back(ConsoleText::Path(folder));
    arguments.refusal = JoinRefusal<ConsoleText>(ConsoleText(text.intro), names, text.listed, ConsoleText(text.more));
    return arguments;
}
