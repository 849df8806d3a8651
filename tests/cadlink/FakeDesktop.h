// A desktop for the CAD link's tests: windows with titles, classes, processes and child
// trees in a walking order, a record of every message sent, and a clipboard of several formats
// with a sequence number, which can refuse to open. A window can react to the copy-history
// command as CAD does.
#pragma once

#include <climits>
#include <functional>
#include <map>
#include <vector>

#include "cadlink/WindowSystem.h"

struct SentMessage {
    enum class Kind { CopyData, PostNull, Command, GetTextLength, GetText };
    Kind kind;
    WindowHandle window;
    std::uintptr_t dwData = 0;          // CopyData
    std::vector<std::uint8_t> bytes{};  // CopyData: the cbData bytes of the record
    std::uint16_t id = 0;               // Command
    std::size_t bufferSize = 0;         // GetText
};

class FakeDesktop : public WindowSystem {
public:
    struct Window {
        std::string title{};
        std::string className{};
        std::uint32_t processId = 0;
        bool unicode = false;
        WindowHandle parent = 0;
        std::vector<WindowHandle> children{};
        std::string content{};                          // what WM_GETTEXT gives
        std::optional<std::intptr_t> lengthAnswer{};    // WM_GETTEXTLENGTH, else content's size
        std::function<void(FakeDesktop&)> onCommand{};  // the reaction to WM_COMMAND
    };

    // New top-level windows come last in walking order.
    WindowHandle AddTopLevel(std::string title, std::string className, std::uint32_t processId);
    WindowHandle AddChild(WindowHandle parent, std::string title, std::string className = "Static");
    void Destroy(WindowHandle w);  // with its descendants
    Window& At(WindowHandle w) { return windows_.at(w); }

    // CAD's reaction to the copy-history command: the history replaces the clipboard's
    // content (nullopt: CAD leaves it without text). A window without one copies nothing.
    void CopiesHistory(WindowHandle w, std::optional<std::string> history);
    // Another program (the user) replaces the clipboard's content.
    void UserCopies(ClipboardContent content);
    std::optional<std::string> Text() const;  // the CF_TEXT format as it is now

    std::vector<SentMessage> SentTo(WindowHandle w) const;

    std::vector<SentMessage> messages;
    std::vector<WindowHandle> visited;  // every window handed to a visitor
    ClipboardContent clipboard;
    std::uint32_t clipboardSequence = 1;
    int opensAllowed = INT_MAX;            // later openings fail: someone holds it
    std::function<void()> beforeNextOpen;  // another program's doing, just before an opening
    int opens = 0;
    int contentReads = 0;  // ClipboardContents
    int puts = 0;          // PutClipboardContents
    std::vector<std::string> registeredFormats;
    bool clipboardOpen = false;

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

private:
    bool WalkDescendants(WindowHandle parent, const Visitor& visit);
    const Window* Find(WindowHandle w) const;

    std::map<WindowHandle, Window> windows_;
    std::vector<WindowHandle> topLevel_;
    WindowHandle next_ = 0x100;
};

inline constexpr std::uint32_t kCfText = 1;
// What the user's content is put back with, as ClipboardFormat numbers it in the fake.
inline constexpr std::uint32_t kExcludeFromHistory = 0xC000;
