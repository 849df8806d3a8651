// marlowen-script build: the bytes Marlowen writes to test.scr when the files are dropped on
// a section's button, by the window's own steps; or the refusal the window would show.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ConsoleText.h"
#include "app/DroppedFolders.h"
#include "app/Tables.h"
#include "settings/IniFile.h"

struct BuildRequest {
    std::string section;                     // "1" … "9"
    std::vector<std::string> files;          // full paths, in drop order
    std::optional<StringGridCells> layouts;  // the survey's table; none: no survey made
};

struct BuildResult {
    bool refused = false;
    ConsoleText refusal;             // the window's message
    std::string script;              // test.scr's bytes
    std::vector<ConsoleText> notes;  // why a file's script may not do what is meant
};

BuildResult BuildScript(const IniFile& ini, const BuildRequest& request);

// The files of a build once every folder among them stands for the drawings it holds, as a
// dropped folder does in the window; or the window's refusal.
struct FolderArguments {
    std::vector<std::string> files;
    std::optional<ConsoleText> refusal;
};
FolderArguments FolderArgumentsFrom(DropExpansion<char> expansion);
