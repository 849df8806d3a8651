// What the layout survey and its clearing do to the layout table (StringGrid1).
#pragma once

#include "Tables.h"

// One drawing's row from its survey entries, entry 0 being passed over: L = entries − 1 in
// column 1, the names in columns 2 … L + 1, and the table widened to L + 3 columns when it
// has fewer (never narrowed).
void RecordLayoutRow(StringGridCells& table, int row, const LineList& entries);

// Every cell within the current counts emptied, headers included; the counts stay.
void ClearWithinCounts(StringGridCells& table);

// What a survey that could not finish leaves: the row count of 1 that means "no survey made",
// and none of the layouts it had stored in rows 1 … n; the paths the drop wrote stay.
void ForgetLayoutRows(StringGridCells& table, int n);
