#pragma once

// True when the Windows build runs under Wine, whose profile writer differs from Windows.
bool RunningUnderWine();
