#include "LayoutListing.h"

#include <string>

#include "app/LayoutTable.h"

StringGridCells ParseLayoutListingFile(std::string_view bytes) {
    StringGridCells table(5, 1);
    int row = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        ++row;
        // Entry 0 stands for the text before the listing, which the survey passes over.
        LineList entries{""};
        const std::size_t tab = line.find('\t');
        table.SetCell(0, row, std::string(line.substr(0, tab)));
        for (std::size_t from = tab; from != std::string_view::npos;) {
            const std::size_t next = line.find('\t', from + 1);
            entries.emplace_back(line.substr(from + 1, next == std::string_view::npos ? next : next - from - 1));
            from = next;
        }
        RecordLayoutRow(table, row, entries);
    }
    table.SetRowCount(row + 1);
    return table;
}
