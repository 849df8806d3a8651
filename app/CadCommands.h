// What the program types into CAD's command line, and the prompt that tells it CAD is ready
// for them.
#pragma once

#include <string_view>

#include "ScriptFile.h"
#include "Tables.h"

// Turns CAD's file and command dialogs off, then runs test.scr.
inline const LineList kRunScriptCommands{"filedia\r", "0\r",      "cmddia\r",
                                         "0\r",       "script\r", std::string(kScriptFile) + "\r"};
// Turns the dialogs back on, which kRunScriptCommands turned off, then ends CAD.
inline const LineList kRestoreAndQuitCommands{"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"};
inline constexpr char kCloseDrawingCommand[] = "close\r";

// CAD's last history line once it has started and waits for a command, in either of the
// forms its Japanese versions write.
bool IsCommandPrompt(std::string_view lastHistoryLine);
