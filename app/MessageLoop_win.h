// The message processing shared by the main loop and the timer wait: dialog keys (Tab moves
// the focus between the window's tab stops) first, then the usual translate and dispatch.
#pragma once

#include <windows.h>

void DispatchAppMessage(HWND dialog, MSG& msg);

// Processes every pending message. False when WM_QUIT came: it is posted again, so the loops
// further out end too.
bool ProcessPendingMessages(HWND dialog);

// The main loop: until WM_QUIT.
void RunMessageLoop(HWND dialog);
