// What a string grid window answers to WM_GETTEXT, so that tools outside the process can
// read the working tables, which lie outside the visible part of the window.
#pragma once

#include <string>

#include "Tables.h"

// "cols=<ColCount> rows=<RowCount>", then per row 0 … RowCount − 1 a CR LF and the cells of
// columns 0 … ColCount − 1 joined by TAB. Cells beyond the counts are left out.
std::string GridText(const StringGridCells& cells);
