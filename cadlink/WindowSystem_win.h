// The window system of the CAD link bound to user32.
#pragma once

#include <windows.h>

#include "WindowSystem.h"

class Win32WindowSystem : public WindowSystem {
public:
    // The ANSI code page is taken now, once.
    Win32WindowSystem() : ansiCodePage_(GetACP()) {}

    void EnumTopLevel(const Visitor& visit) override;
    void EnumDescendants(WindowHandle parent, const Visitor& visit) override;
    std::string Title(WindowHandle w) override;
    std::string ClassName(WindowHandle w) override;
    std::uint32_t ProcessId(WindowHandle w) override;
    bool IsWindow(WindowHandle w) override;
    bool IsWindowUnicode(WindowHandle w) override;

    bool SendCopyData(WindowHandle w, std::uintptr_t dwData, const void* data, std::uint32_t cbData) override;
    void PostNull(WindowHandle w) override;
    bool Responds(WindowHandle w) override;
    bool SendCommand(WindowHandle w, std::uint16_t id) override;
    std::optional<std::intptr_t> SendGetTextLength(WindowHandle w) override;
    std::optional<std::string> SendGetText(WindowHandle w, std::size_t bufferSize) override;

    std::u16string WideFromAnsi(std::string_view text) override;

private:
    UINT ansiCodePage_;
};
