// A section's template turned into the batch run's script: the loop block cut out of the
// template lines, then the template expanded for every dropped file against the layout table.
#pragma once

#include <cstdint>
#include <string>

#include "BatchFollow.h"
#include "Tables.h"

// Template lines of a section after the loop block was cut out (the drop dispatcher).
struct LoopCut {
    LineList templateLines;  // the [LAYOUTLOOP] line stays where the block was
    LineList loopBody;       // the lines between the markers
    bool malformed = false;  // [LAYOUTLOOP] without a [LOOPEND] after it: nothing was moved
};
LoopCut CutLoopBlock(LineList lines);

// What RunTemplateScript builds before it writes test.scr.
struct Expansion {
    enum class Outcome { Lines, NeedSurvey, NotInteger };
    Outcome outcome = Outcome::Lines;
    LineList lines;         // Outcome::Lines: the script, fixed tail included
    std::string badNumber;  // Outcome::NotInteger: the layout count cell's text
    // Outcome::Lines: the input lines that carry a placeholder's text, by which the batch is
    // followed drawing by drawing; none when the template's lines hold no placeholder.
    std::vector<FollowMark> marks;
};
struct ExpansionInput {
    int fileCount;                        // FDropCount
    const LineList& templateLines;        // ListBox3
    int lineCount;                        // the count handed over by the drop
    const LineList& loopBody;             // ListBox4
    const StringGridCells& droppedFiles;  // StringGrid2
    const LineList& droppedPaths;         // ListBox1
    const StringGridCells& layouts;       // StringGrid1
    // The rows of the layout table a drawing is looked for in: the drop's count, or, for the
    // rest of a run that stopped, the count of the run's own drop.
    int layoutRowCount;
};
// Raises AppError when the script would be too large to hold (over ten million lines, or
// over 512 MiB), before building it, rather than exhausting memory.
Expansion ExpandTemplate(const ExpansionInput& in);
