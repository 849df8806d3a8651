// What marlowen-script needs of the system it runs on (Platform_win.cpp on Windows,
// Platform_posix.cpp elsewhere).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "Build.h"
#include "ConsoleText.h"

// data.ini beside the program's own executable, as Marlowen finds it.
std::string OwnSettingsPath();

// An existing file, not a folder.
bool IsFile(const std::string& path);

// The files of a build with its folders expanded: on Windows through the window's own
// listing and order, elsewhere over a POSIX listing with the portable order.
FolderArguments ExpandFolderArguments(const std::vector<std::string>& args);

// Writes a message: on Windows to a console window as its characters, to a file or a pipe in
// the console's code page (GetConsoleOutputCP); elsewhere as UTF-8.
void WriteText(std::FILE* stream, const ConsoleText& text);

// Script bytes go out unchanged: no CR before every LF.
void UseBinaryOutput(std::FILE* stream);

// Started from Explorer, the console window is the program's own and closes when it ends.
bool ConsoleIsOwn();
