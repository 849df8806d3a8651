// End-to-end harness: Marlowen.exe runs under Wine on a screen of the display that
// tools/wine-env.sh set, in a prefix that script made; files are dropped on it through a real
// XDND drag (xdnd-drop) and its windows are read from outside (inspector.exe, kept running
// as a server for the whole case).
//
// Texts in this API are UTF-8, like the file names, the X display and the inspector's
// output; the harness converts to and from Shift-JIS only where bytes of the program's own
// files are concerned (WriteDataIni, ReadText). Every wait is bounded; a failure throws
// HarnessError with a message that says what was awaited.
//
// A case (see E2eTest.h) reads:
//     S().WriteDataIni("[Section1]\nLabel=印刷\n");
//     std::string plan = S().MakeFile("表/plan.dwg");      // C:\d\表\plan.dwg
//     S().Start();
//     S().Drop("Button1", {plan});
//     MessageBoxInfo box = S().WaitMessageBox("情報");
//     Grid dropped = ParseGrid(S().GetControl("StringGrid2").text);
// A drop returns when the target has taken it, before the program has handled it: wait
// for its effect (WaitMessageBox, WaitUntil) before reading state.
//
// The parts, each in a file of its own: HarnessBasics (the error, the wait, text and files),
// Process (programs started and run), Screen (the display's screens), InspectorClient (the
// inspector and its records) and Session (a case). Their implementations are POSIX only.
#pragma once

#include "testsupport/HarnessBasics.h"
#include "testsupport/InspectorClient_posix.h"
#include "testsupport/Process_posix.h"
#include "testsupport/Screen_posix.h"
#include "testsupport/Session_posix.h"
