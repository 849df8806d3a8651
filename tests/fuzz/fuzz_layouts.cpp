// The layout listing that build --layouts reads, over arbitrary bytes: one table row per line,
// column 1 the number of the names that follow the path.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "LayoutListing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const StringGridCells table = ParseLayoutListingFile(bytes);
    int lines = 0;
    for (std::size_t at = 0; at < bytes.size(); ++lines) {
        const std::size_t end = bytes.find('\n', at);
        at = end == std::string_view::npos ? bytes.size() : end + 1;
    }
    if (table.RowCount() != lines + 1) std::abort();
    for (int row = 1; row <= lines; ++row) {
        const int names = std::stoi(table.Cell(1, row));
        if (names < 0 || table.ColCount() < names + 2) std::abort();
        if (table.Cell(0, row).find('\t') != std::string::npos) std::abort();
    }
    return 0;
}
