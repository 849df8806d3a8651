// What the batch run makes of one template line: a loop line, a line with one placeholder
// replaced (which one, and where), or a line written as it stands. marlowen-script's checker
// asks this instead of knowing the order of the placeholders itself.
#pragma once

#include <cstddef>
#include <string>

struct TemplateLineRole {
    enum class Kind { Plain, Loop, Placeholder };
    Kind kind = Kind::Plain;
    int column = -1;         // Placeholder: the dropped-file table's column it is replaced from
    std::size_t at = 0;      // Placeholder: byte index of the replaced text in the line
    std::size_t length = 0;  // Placeholder: its length in bytes
};

// line holds no zero byte (no value read from data.ini does).
TemplateLineRole RoleOfTemplateLine(const std::string& line);
