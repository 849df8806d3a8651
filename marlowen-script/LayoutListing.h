// The layout table as a survey leaves it, from a listing: line r holds row r, the full path of
// the survey's r-th drawing and then its layout names, separated by tabs; lines end in CR LF
// or LF.
#pragma once

#include <string_view>

#include "app/Tables.h"

// Row count: the listing's lines plus the header row, so an empty listing is a table before
// any survey. Column 1 of each row holds the number of its names, as the survey writes it.
StringGridCells ParseLayoutListingFile(std::string_view bytes);
