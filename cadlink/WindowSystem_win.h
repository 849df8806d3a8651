// The window system of the CAD link bound to user32.
#pragma once

#include <windows.h>

#include "WindowSystem.h"

class Win32WindowSystem : public WindowSystem {
public:
    // The clipboard is opened on behalf of a message-only window of its own, which renders what
    // it put down for later. The ANSI code page is taken now, once.
    Win32WindowSystem();
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

    void EnumTopLevel(const Visitor& visit) override;
    void EnumDescendants(WindowHandle parent, const Visitor& visit) override;
    std::string Title(WindowHandle w) override;
    std::string ClassName(WindowHandle w) override;
    std::uint32_t ProcessId(WindowHandle w) override;
    bool IsWindow(WindowHandle w) override;
    bool IsWindowUnicode(WindowHandle w) override;

    void SendCopyData(WindowHandle w, std::uintptr_t dwData, const void* data, std::uint32_t cbData) override;
    void PostNull(WindowHandle w) override;
    void SendCommand(WindowHandle w, std::uint16_t id) override;
    std::intptr_t SendGetTextLength(WindowHandle w) override;
    std::string SendGetText(WindowHandle w, std::size_t bufferSize) override;

    bool OpenClipboard() override;
    std::optional<std::string> ClipboardText() override;
    ClipboardContent ClipboardContents() override;
    void PutClipboardContents(std::shared_ptr<const ClipboardContent> content) override;
    void CloseClipboard() override;
    std::uint32_t ClipboardSequenceNumber() override;
    std::uint32_t ClipboardFormat(std::string_view name) override;

    std::u16string WideFromAnsi(std::string_view text) override;

    HWND ClipboardOwner() const { return clipboardOwner_; }

private:
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void RenderLater(UINT format);
    void RenderAllLater();

    HWND clipboardOwner_ = nullptr;
    UINT ansiCodePage_;
    // Large formats put back are rendered only when a program asks for them: copying megabytes
    // into the clipboard at every history read would cost more than the read itself.
    std::shared_ptr<const ClipboardContent> later_;
};
