// The clipboard of the CAD link bound to user32.
#pragma once

#include <windows.h>

#include "Clipboard.h"

class Win32Clipboard : public Clipboard {
public:
    // The clipboard is opened on behalf of a message-only window of its own, which renders what
    // it put down for later.
    Win32Clipboard();
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    bool Open() override;
    std::optional<std::string> Text() override;
    ClipboardContent Contents() override;
    void Put(std::shared_ptr<const ClipboardContent> content) override;
    void Close() override;
    std::uint32_t SequenceNumber() override;
    std::uint32_t Format(std::string_view name) override;
    std::uint32_t OwnerProcessId() override;
    std::uint32_t OpenerProcessId() override;
    bool OwnerResponds() override;

    HWND OwnerWindow() const { return owner_; }

private:
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void RenderLater(UINT format);
    void RenderAllLater();

    HWND owner_ = nullptr;
    // Large formats put back are rendered only when a program asks for them: copying megabytes
    // into the clipboard at every history read would cost more than the read itself.
    std::shared_ptr<const ClipboardContent> later_;
};
