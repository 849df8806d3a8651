#include "TemplateLineRole.h"

#include "TemplateExpansion.h"

// The line is expanded for one file whose four names are "\0" and the column's digit; where
// that text shows up in the result tells what the expansion did, by the expansion's own rules.
TemplateLineRole RoleOfTemplateLine(const std::string& line) {
    StringGridCells droppedFiles(5, 2);
    for (int column = 0; column < 4; ++column) droppedFiles.SetCell(column, 1, std::string{'\0', char('0' + column)});
    const LineList templateLines{line};
    const LineList none;
    const LineList paths{"\x01"};
    const StringGridCells noSurvey(5, 1);
    const Expansion expansion = ExpandTemplate({1, templateLines, 1, none, droppedFiles, paths, noSurvey});

    TemplateLineRole role;
    if (expansion.outcome == Expansion::Outcome::NeedSurvey) {
        role.kind = TemplateLineRole::Kind::Loop;
        return role;
    }
    const std::string& written = expansion.lines.front();
    const std::size_t at = written.find('\0');
    if (at == std::string::npos) return role;
    role.kind = TemplateLineRole::Kind::Placeholder;
    role.column = written[at + 1] - '0';
    role.at = at;
    role.length = line.size() + 2 - written.size();
    return role;
}
