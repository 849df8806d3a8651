// The layout survey's rules: the script that makes CAD list every dropped drawing's layouts,
// the parser of one listing, and the order in which the listings are read back.
#pragma once

#include <string_view>

#include <vector>

#include "BatchFollow.h"
#include "Tables.h"

// The script's last line; CAD echoing it tells the survey that every drawing is listed.
inline constexpr char kSurveyEndMarker[] = "OWARI";

// The survey script: "open", the path in double quotes, "layout", "?" per drawing, then
// "OWARI". Raises AppError past ten million lines, like ExpandTemplate.
LineList SurveyScript(const LineList& paths);

// What the survey script makes CAD echo for each drawing: its path, in quotes as written.
std::vector<FollowMark> SurveyMarks(const LineList& paths);

// One drawing's entries from its blank-stripped command pane: entry 0 (passed over by the
// survey), then the layout names.
LineList ParseLayoutListing(std::string_view stripped);

// Read i (0-based) of n. The active drawing is the last one opened, and closing it activates
// the one before: the drawings are read in reverse drop order.
struct SurveyRead {
    int row;                  // the layout table's row this read fills
    LineList commands;        // typed into CAD after the read
    bool waitForNextDrawing;  // a drawing was closed: wait until CAD has the one before active
};
SurveyRead SurveyReadAt(int i, int n);
