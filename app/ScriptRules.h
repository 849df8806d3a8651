// The rules of the drop, the batch run and the layout survey, as functions of plain data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Tables.h"

// Template lines of a section after the loop block was cut out (the drop dispatcher).
struct LoopCut {
    LineList templateLines;   // the [LAYOUTLOOP] line stays where the block was
    LineList loopBody;        // the lines between the markers
    bool malformed = false;   // [LAYOUTLOOP] without a [LOOPEND] after it: nothing was moved
};
LoopCut CutLoopBlock(LineList lines);

// What RunTemplateScript builds before it writes test.scr.
struct Expansion {
    enum class Outcome { Lines, NeedSurvey, NotInteger };
    Outcome outcome = Outcome::Lines;
    LineList lines;            // Outcome::Lines: the script, fixed tail included
    std::string badNumber;     // Outcome::NotInteger: the layout count cell's text
};
struct ExpansionInput {
    int fileCount;                      // FDropCount
    const LineList& templateLines;      // ListBox3
    int lineCount;                      // the count handed over by the drop
    const LineList& loopBody;           // ListBox4
    const StringGridCells& droppedFiles;// StringGrid2
    const LineList& droppedPaths;       // ListBox1
    const StringGridCells& layouts;     // StringGrid1
};
// Raises AppError when the script would be too large to hold (over ten million lines, or
// over 512 MiB), before building it, rather than exhausting memory.
Expansion ExpandTemplate(const ExpansionInput& in);

// test.scr's bytes: every line followed by CR LF, no byte-order mark.
std::string ScriptFileBytes(const LineList& lines);

// The survey script: "open", path, "layout", "?" per drawing, then "OWARI". Raises
// AppError past ten million lines, like ExpandTemplate.
LineList SurveyScript(const LineList& paths);

// One drawing's entries from its blank-stripped command pane: entry 0 (passed over by the
// survey), then the layout names.
LineList ParseLayoutListing(std::string_view stripped);
