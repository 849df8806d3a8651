// What marlowen-script needs of the system it runs on (Platform.cpp elsewhere, Platform_win.cpp
// on Windows).
#pragma once

#include <cstdio>
#include <string>

#include "ConsoleText.h"

// data.ini beside the program's own executable, as Marlowen finds it.
std::string OwnSettingsPath();

// An existing file, not a folder.
bool IsFile(const std::string& path);

// The bytes that show the text on the console: Windows converts to the console's code page
// (GetConsoleOutputCP), elsewhere the text becomes UTF-8.
std::string ForConsole(const ConsoleText& text);

// Script bytes go out unchanged: no CR before every LF.
void UseBinaryOutput(std::FILE* stream);

// Started from Explorer, the console window is the program's own and closes when it ends.
bool ConsoleIsOwn();
