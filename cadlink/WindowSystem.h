// What the CAD link needs of the window system: the desktop's windows and the messages sent
// to them. WindowSystem_win.cpp binds it to user32; tests bind it to a fake desktop.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

using WindowHandle = std::uintptr_t;  // 0: no window

class WindowSystem {
public:
    using Visitor = std::function<bool(WindowHandle)>;  // true: go on walking

    virtual ~WindowSystem() = default;

    virtual void EnumTopLevel(const Visitor& visit) = 0;                          // EnumWindows
    virtual void EnumDescendants(WindowHandle parent, const Visitor& visit) = 0;  // EnumChildWindows
    virtual std::string Title(WindowHandle w) = 0;        // GetWindowTextA, 256-byte buffer, limit 255
    virtual std::string ClassName(WindowHandle w) = 0;    // GetClassNameA, same buffer; "" if unreadable
    virtual std::uint32_t ProcessId(WindowHandle w) = 0;  // GetWindowThreadProcessId
    virtual bool IsWindow(WindowHandle w) = 0;
    virtual bool IsWindowUnicode(WindowHandle w) = 0;

    // Messages sent to another program's window wait for it a few tens of milliseconds at most:
    // a window whose thread is busy has not answered by then, which false or nothing says. Such
    // a message may still be handled once that thread is free, or never: Windows leaves it
    // queued, Wine takes back one the thread had not begun.
    virtual bool SendCopyData(WindowHandle w, std::uintptr_t dwData, const void* data, std::uint32_t cbData) = 0;
    virtual void PostNull(WindowHandle w) = 0;  // WM_NULL
    // Whether the window's thread answers a WM_NULL now; once it has, every message sent to it
    // before has been handled or dropped.
    virtual bool Responds(WindowHandle w) = 0;
    virtual bool SendCommand(WindowHandle w, std::uint16_t id) = 0;              // WM_COMMAND, code 0, lParam 0
    virtual std::optional<std::intptr_t> SendGetTextLength(WindowHandle w) = 0;  // WM_GETTEXTLENGTH
    // WM_GETTEXT into a buffer of bufferSize bytes; the text up to its first zero byte.
    virtual std::optional<std::string> SendGetText(WindowHandle w, std::size_t bufferSize) = 0;

    // MultiByteToWideChar from the ANSI code page taken at start-up, flags 0, room for
    // text.size() units: the units it produced.
    virtual std::u16string WideFromAnsi(std::string_view text) = 0;
};
