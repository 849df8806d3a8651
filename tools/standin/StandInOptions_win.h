// The stand-in's command line (the options are listed at the head of StandInCad_win.cpp).
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "CadSession.h"

struct Options {
    bool unicode = false;
    bool floating = false;
    bool halfWidth = false;
    std::wstring logPath;
    UINT startDelay = 0;
    UINT commandDelay = 0;
    bool logTimes = false;
    UINT windowDelay = 0;
    UINT loadDelay = 0;
    std::optional<UINT> exitAfter;
    std::string exitWord;
    UINT busyDelay = 0;
    std::string busyText;
    std::string unreadableDrawing;
    std::string crashDrawing;
    std::size_t historyLines = kDefaultHistoryLines;
    UINT quitDelay = 1000;
    bool launch = false;
    std::vector<std::wstring> passOn;  // every argument but /launch, for the process launched
};

Options ParseOptions();

// The module's full path, however long.
std::wstring ExecutablePath();

// One argument as CommandLineToArgvW reads it back: in quotes when it holds a blank or a
// quote, a quote escaped, and backslashes doubled only before a quote.
std::wstring QuoteArgument(const std::wstring& arg);
