// What the CAD link needs of the window system. WindowSystem_win.cpp binds it to user32;
// tests bind it to a fake desktop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using WindowHandle = std::uintptr_t;  // 0: no window

// One format of the clipboard's content, as bytes from which the binding can make it again.
struct ClipboardItem {
    std::uint32_t format = 0;
    std::string bytes;
    bool operator==(const ClipboardItem&) const = default;
};
using ClipboardContent = std::vector<ClipboardItem>;

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

    // WM_COPYDATA with wParam 0; returns when the receiver has handled it.
    virtual void SendCopyData(WindowHandle w, std::uintptr_t dwData, const void* data, std::uint32_t cbData) = 0;
    virtual void PostNull(WindowHandle w) = 0;                       // WM_NULL
    virtual void SendCommand(WindowHandle w, std::uint16_t id) = 0;  // WM_COMMAND, code 0, lParam 0
    virtual std::intptr_t SendGetTextLength(WindowHandle w) = 0;     // WM_GETTEXTLENGTH
    // WM_GETTEXT into a buffer of bufferSize bytes; the text up to its first zero byte.
    virtual std::string SendGetText(WindowHandle w, std::size_t bufferSize) = 0;

    // The clipboard, opened on behalf of one of the program's own windows.
    virtual bool OpenClipboard() = 0;
    virtual std::optional<std::string> ClipboardText() = 0;  // CF_TEXT up to its first zero byte
    // Every format of the content that can be copied, in the clipboard's order; what only its
    // owner can make (owner-display and private handle formats) is left out.
    virtual ClipboardContent ClipboardContents() = 0;
    // Empties the clipboard and puts these formats on it. The content is shared, not copied: the
    // binding may keep it to render a large format only when a program asks for it.
    virtual void PutClipboardContents(std::shared_ptr<const ClipboardContent> content) = 0;
    virtual void CloseClipboard() = 0;
    // Counts every change of the clipboard's content, whoever made it; opened or not.
    virtual std::uint32_t ClipboardSequenceNumber() = 0;
    // The number of a registered clipboard format.
    virtual std::uint32_t ClipboardFormat(std::string_view name) = 0;

    // MultiByteToWideChar from the ANSI code page taken at start-up, flags 0, room for
    // text.size() units: the units it produced.
    virtual std::u16string WideFromAnsi(std::string_view text) = 0;
};
