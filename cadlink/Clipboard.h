// What the CAD link needs of the clipboard, which it shares with every program on the desktop.
// Clipboard_win.cpp binds it to user32; tests bind it to a fake.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One format of the clipboard's content, as bytes from which the binding can make it again.
struct ClipboardItem {
    std::uint32_t format = 0;
    std::string bytes;
    bool operator==(const ClipboardItem&) const = default;
};
using ClipboardContent = std::vector<ClipboardItem>;

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Opened on behalf of one of the program's own windows; false when another program has it open.
    virtual bool Open() = 0;
    virtual std::optional<std::string> Text() = 0;  // CF_TEXT up to its first zero byte
    // Every format of the content that can be copied, in the clipboard's order; what only its
    // owner can make (owner-display and private handle formats) is left out.
    virtual ClipboardContent Contents() = 0;
    // Empties the clipboard and puts these formats on it. The content is shared, not copied: the
    // binding may keep it to render a large format only when a program asks for it.
    virtual void Put(std::shared_ptr<const ClipboardContent> content) = 0;
    virtual void Close() = 0;
    // Counts every change of the content, whoever made it; opened or not.
    virtual std::uint32_t SequenceNumber() = 0;
    // The number of a registered clipboard format.
    virtual std::uint32_t Format(std::string_view name) = 0;
    // The process of the window that owns the content (the last to empty the clipboard), and
    // of the window that has it open now; 0 when no window does.
    virtual std::uint32_t OwnerProcessId() = 0;
    virtual std::uint32_t OpenerProcessId() = 0;
    // Whether the window that owns the content answers at once. Emptying the clipboard (Put)
    // tells the owner and waits for it, up to seconds under Wine: a busy CAD whose copy is on
    // the clipboard would hold the window that long.
    virtual bool OwnerResponds() = 0;
};
