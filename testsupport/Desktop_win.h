// The desktop's windows as a program outside them sees them: the walk of top-level windows,
// descendants, titles and classes. Shared by the inspector and the Windows tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Top-level windows in EnumWindows order.
std::vector<HWND> TopLevelWindows();
// The top-level windows of one process, in EnumWindows order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// Position of w in EnumWindows order; -1 when it is not a top-level window.
int WalkPosition(HWND w);
// The process's top-level window of the given class name; null when there is none.
HWND TopLevelWindowOf(DWORD processId, const char* className);

// Every descendant of parent, in EnumChildWindows order.
std::vector<HWND> Descendants(HWND parent);
// The first descendant with this title; null when there is none.
HWND DescendantTitled(HWND parent, const std::string& title);

// Registers a class of this program's own windows; a class of that name already there stays.
void RegisterWindowClass(const char* className, WNDPROC windowProc);

// As GetWindowTextA reads it: another process's window gives its caption, not its answer
// to WM_GETTEXT.
std::string WindowTitle(HWND w);
std::string WindowClass(HWND w);
