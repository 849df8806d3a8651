// A drop's folders as the shell lists them: FindFirstFileExW for the listing, StrCmpLogicalW
// (shlwapi) for the name order, so that the drawings come in the order Explorer shows them.
// The window and marlowen-script.exe both expand through this.
#pragma once

#include <string>
#include <vector>

#include "DroppedFolders.h"

DropExpansion<wchar_t> ExpandShellDrop(const std::vector<std::wstring>& dropped,
                                       const FolderReadProgress& progress = {});
