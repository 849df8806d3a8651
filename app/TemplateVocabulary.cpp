#include "TemplateVocabulary.h"

#include <algorithm>
#include <utility>

#include "text/UnitFunc.h"

bool SameAsMark(std::string_view text, std::string_view mark) {
    return std::equal(text.begin(), text.end(), mark.begin(), mark.end(),
                      [](char a, char b) { return UnitFunc::AsciiUpper(a) == UnitFunc::AsciiUpper(b); });
}

std::ptrdiff_t FindMarkerLine(const LineList& lines, std::string_view marker) {
    const auto it = std::find_if(lines.begin(), lines.end(),
                                 [marker](const std::string& line) { return SameAsMark(line, marker); });
    return it == lines.end() ? -1 : it - lines.begin();
}

TemplateLineRole RoleOfTemplateLine(std::string_view line) {
    TemplateLineRole role;
    if (line.find(kLoopMarker) != std::string_view::npos) {
        role.kind = TemplateLineRole::Kind::Loop;
        return role;
    }
    for (const FilePlaceholder& placeholder : kFilePlaceholders) {
        if (const std::size_t at = line.find(placeholder.text); at != std::string_view::npos) {
            role.kind = TemplateLineRole::Kind::Placeholder;
            role.placeholder = &placeholder;
            role.at = at;
            break;
        }
    }
    return role;
}

bool HoldsLayoutName(std::string_view line) { return line.find(kLayoutNameMark) != std::string_view::npos; }

void SetDroppedFileRow(StringGridCells& droppedFiles, int row, const std::string& path) {
    UnitFunc::PathParts parts = UnitFunc::SplitPath(path);
    droppedFiles.SetCell(0, row, path);
    droppedFiles.SetCell(1, row, std::move(parts.fileName));
    droppedFiles.SetCell(2, row, std::move(parts.withoutExt));
    droppedFiles.SetCell(3, row, std::move(parts.folder));
}

// Built once per drop, so that many dropped files do not each scan the whole table; a later
// row with the same path replaces an earlier one.
LayoutRowIndex::LayoutRowIndex(const StringGridCells& layouts, int fileCount) {
    rows_.reserve(static_cast<std::size_t>(std::max(fileCount, 0)));
    for (int row = 1; row <= fileCount; ++row) {
        const std::string& cell = layouts.Cell(0, row);
        if (!cell.empty()) rows_[cell] = row;
    }
}

int LayoutRowIndex::RowOf(std::string_view path) const {
    const auto it = rows_.find(path);
    return it == rows_.end() ? 0 : it->second;
}
