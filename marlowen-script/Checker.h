// marlowen-script check: the places of a data.ini where the file does not say what its writer
// most likely meant, found by reading it as the program does (the profile reader's rules, the
// template loading, the loop cut and the expansion) and as CAD's script reader takes a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct Finding {
    int line = 0;         // 1-based line of the file
    std::string section;  // "Section3", "Program"; empty for the file as a whole
    std::string message;  // Shift-JIS
};

// Ordered by line; none for a file that says what it means. Comment lines (";") are never
// findings.
std::vector<Finding> CheckSettings(std::string_view bytes);
