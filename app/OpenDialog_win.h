// OpenDialog1: the modal file-open dialog of the CAD program path.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class OpenDialog {
public:
    // No filter, title, initial folder or default extension; read-only box hidden; resizable;
    // one file, which need not exist. The chosen full path, or nullopt when cancelled.
    std::optional<std::string> Execute(HWND owner);
};
