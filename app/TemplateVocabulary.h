// The words a section's template is written in and what the batch run makes of each line:
// one definition for the window's drop and run and for marlowen-script's check and build, so
// that the checker can never read a template otherwise than the window does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "Tables.h"

// A line equal to one of these, letter case aside, bounds the loop block (CutLoopBlock).
inline constexpr std::string_view kLoopMarker = "[LAYOUTLOOP]";
inline constexpr std::string_view kLoopEndMarker = "[LOOPEND]";
// A loop body line holding it is replaced whole by the drawing's next layout name.
inline constexpr std::string_view kLayoutNameMark = "[LAYOUTNAME]";

// A text replaced by one cell of the dropped file's row.
struct FilePlaceholder {
    std::string_view text;
    int column;  // of the dropped-file table (SetDroppedFileRow)
};
// Tested in this order, which is also the table's column order; only the first one that a
// line contains is replaced, and only once.
inline constexpr FilePlaceholder kFilePlaceholders[] = {
    {"[FULLFILEPATH]", 0}, {"[FILENAME]", 1}, {"[FULLFILENAME]", 2}, {"[FOLDER]", 3}};
// Every mark above, placeholders first.
inline constexpr std::string_view kTemplateMarks[] = {kFilePlaceholders[0].text,
                                                      kFilePlaceholders[1].text,
                                                      kFilePlaceholders[2].text,
                                                      kFilePlaceholders[3].text,
                                                      kLayoutNameMark,
                                                      kLoopMarker,
                                                      kLoopEndMarker};

// Whether text is the mark but for the case of one-byte letters (a mark has no other bytes).
bool SameAsMark(std::string_view text, std::string_view mark);

// Index of the first line that is the marker, letter case aside, or -1: where the loop cut
// looks for its two markers.
std::ptrdiff_t FindMarkerLine(const LineList& lines, std::string_view marker);

// What the batch run makes of one template line: a loop line (it holds [LAYOUTLOOP] in
// capitals, wherever), else a line with one placeholder replaced, else a line written as it is.
struct TemplateLineRole {
    enum class Kind { Plain, Loop, Placeholder };
    Kind kind = Kind::Plain;
    const FilePlaceholder* placeholder = nullptr;  // Kind::Placeholder: the one replaced
    std::size_t at = 0;                            // Kind::Placeholder: its byte index in the line
};
TemplateLineRole RoleOfTemplateLine(std::string_view line);

// Whether a line holds [LAYOUTNAME]: a loop body line that does is replaced whole by the
// drawing's next layout name; elsewhere the mark is written as it is.
bool HoldsLayoutName(std::string_view line);

// The dropped-file table's row for a path: the path, its file name, the path without its
// extension and its folder, in columns 0 … 3.
void SetDroppedFileRow(StringGridCells& droppedFiles, int row, const std::string& path);

// Which row of the layout table a drawing's loop lines read: the last among rows 1 … fileCount
// (the current drop's) whose path cell holds the drawing's path; 0 when none does, and for an
// empty path. The index points into the table, which must stay unchanged while it is used.
class LayoutRowIndex {
public:
    LayoutRowIndex(const StringGridCells& layouts, int fileCount);
    int RowOf(std::string_view path) const;

private:
    std::unordered_map<std::string_view, int> rows_;
};
