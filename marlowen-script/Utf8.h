// Whether bytes are UTF-8: a file saved by a modern editor, or a path typed on a UTF-8 system.
#pragma once

#include <string_view>

// Valid UTF-8 throughout (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsUtf8(std::string_view bytes);
