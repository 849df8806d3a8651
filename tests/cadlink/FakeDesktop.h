// A desktop for the CAD link's tests: windows with titles, classes, processes and child
// trees in a walking order, a record of every message sent, and a clipboard of several formats
// with a sequence number and an owner, which can refuse to open. A window can react to the
// copy-history command as CAD does, and be busy: it then answers nothing until its work is done.
#pragma once

#include <climits>
#include <functional>
#include <map>
#include <vector>

#include "cadlink/Clipboard.h"
#include "cadlink/WindowSystem.h"

// The processes of the clipboard's owners: the program under test and the user's programs.
inline constexpr std::uint32_t kOwnProcess = 1;
inline constexpr std::uint32_t kUserProcess = 77;

class FakeClipboard : public Clipboard {
public:
    // Another program replaces the content; the user's by default.
    void Copies(ClipboardContent content, std::uint32_t byProcess = kUserProcess);
    std::optional<std::string> CurrentText() const;  // the CF_TEXT format as it is now

    ClipboardContent content;
    std::uint32_t sequence = 1;
    std::uint32_t owner = 0;
    std::uint32_t opener = 0;              // a program that holds it open: openings fail
    bool ownerBusy = false;                // the owner's thread does not answer
    int opensAllowed = INT_MAX;            // later openings fail as if someone held it
    std::function<void()> beforeNextOpen;  // another program's doing, just before an opening
    int opens = 0;
    int contentReads = 0;  // Contents
    int puts = 0;          // Put
    std::vector<std::string> registeredFormats;
    bool isOpen = false;

    bool Open() override;
    std::optional<std::string> Text() override;
    ClipboardContent Contents() override;
    void Put(std::shared_ptr<const ClipboardContent> content) override;
    void Close() override;
    std::uint32_t SequenceNumber() override { return sequence; }
    std::uint32_t Format(std::string_view name) override;
    std::uint32_t OwnerProcessId() override { return owner; }
    std::uint32_t OpenerProcessId() override { return isOpen ? kOwnProcess : opener; }
    bool OwnerResponds() override { return owner == kOwnProcess || !ownerBusy; }
};

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
        bool busy = false;                              // its thread answers nothing meanwhile
        // What was sent while it was busy is taken back, as Wine does, instead of handled late.
        bool dropsUnanswered = false;
    };

    // New top-level windows come last in walking order.
    WindowHandle AddTopLevel(std::string title, std::string className, std::uint32_t processId);
    WindowHandle AddChild(WindowHandle parent, std::string title, std::string className = "Static");
    void Destroy(WindowHandle w);  // with its descendants
    Window& At(WindowHandle w) { return windows_.at(w); }

    // CAD's reaction to the copy-history command: the history replaces the clipboard's
    // content, CAD's process its owner (nullopt: CAD leaves it without text). A window without
    // one copies nothing.
    void CopiesHistory(WindowHandle w, std::optional<std::string> history);
    // The busy window's thread is free again: it handles the commands queued meanwhile.
    void FinishWork(WindowHandle w);

    std::vector<SentMessage> SentTo(WindowHandle w) const;

    FakeClipboard clipboard;
    std::vector<SentMessage> messages;
    std::vector<WindowHandle> visited;  // every window handed to a visitor

    void EnumTopLevel(const Visitor& visit) override;
    void EnumDescendants(WindowHandle parent, const Visitor& visit) override;
    std::string Title(WindowHandle w) override;
    std::string ClassName(WindowHandle w) override;
    std::uint32_t ProcessId(WindowHandle w) override;
    bool IsWindow(WindowHandle w) override;
    bool IsWindowUnicode(WindowHandle w) override;
    bool SendCopyData(WindowHandle w, std::uintptr_t dwData, const void* data, std::uint32_t cbData) override;
    void PostNull(WindowHandle w) override;
    bool Responds(WindowHandle w) override { return Find(w) && !Busy(w); }
    bool SendCommand(WindowHandle w, std::uint16_t id) override;
    std::optional<std::intptr_t> SendGetTextLength(WindowHandle w) override;
    std::optional<std::string> SendGetText(WindowHandle w, std::size_t bufferSize) override;
    std::u16string WideFromAnsi(std::string_view text) override;

private:
    bool WalkDescendants(WindowHandle parent, const Visitor& visit);
    const Window* Find(WindowHandle w) const;
    bool Busy(WindowHandle w) const;

    std::map<WindowHandle, Window> windows_;
    std::vector<WindowHandle> topLevel_;
    std::map<WindowHandle, int> queuedCommands_;  // sent while busy, handled by FinishWork
    WindowHandle next_ = 0x100;
};

inline constexpr std::uint32_t kCfText = 1;
// What the user's content is put back with, as Format numbers it in the fake.
inline constexpr std::uint32_t kExcludeFromHistory = 0xC000;
