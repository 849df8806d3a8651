#include "FakeDesktop.h"

#include "text/Encoding.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <gtest/gtest.h>

WindowHandle FakeDesktop::AddTopLevel(std::string title, std::string className, std::uint32_t processId) {
    const WindowHandle w = next_;
    next_ += 4;
    windows_[w] = Window{.title = std::move(title), .className = std::move(className), .processId = processId};
    topLevel_.push_back(w);
    return w;
}

WindowHandle FakeDesktop::AddChild(WindowHandle parent, std::string title, std::string className) {
    Window& owner = windows_.at(parent);
    const WindowHandle w = next_;
    next_ += 4;
    Window child{.title = std::move(title),
                 .className = std::move(className),
                 .processId = owner.processId,
                 .unicode = owner.unicode,
                 .parent = parent};
    owner.children.push_back(w);
    windows_[w] = std::move(child);
    return w;
}

void FakeDesktop::Destroy(WindowHandle w) {
    const Window window = windows_.at(w);
    for (WindowHandle child : window.children) Destroy(child);
    if (window.parent != 0) {
        std::erase(windows_.at(window.parent).children, w);
    } else {
        std::erase(topLevel_, w);
    }
    windows_.erase(w);
}

void FakeDesktop::CopiesHistory(WindowHandle w, std::optional<std::string> history) {
    const std::uint32_t cad = At(w).processId;
    At(w).onCommand = [history, cad](FakeDesktop& desktop) {
        desktop.clipboard.Copies(history ? ClipboardContent{{kCfText, *history}} : ClipboardContent{}, cad);
    };
}

void FakeDesktop::FinishWork(WindowHandle w) {
    At(w).busy = false;
    for (int queued = std::exchange(queuedCommands_[w], 0); queued > 0 && !At(w).dropsUnanswered; --queued)
        if (At(w).onCommand) At(w).onCommand(*this);
}

void FakeClipboard::Copies(ClipboardContent copied, std::uint32_t byProcess) {
    EXPECT_FALSE(isOpen) << "clipboard changed while the CAD link holds it";
    content = std::move(copied);
    owner = byProcess;
    ++sequence;
}

std::optional<std::string> FakeClipboard::CurrentText() const {
    for (const ClipboardItem& item : content)
        if (item.format == kCfText) return item.bytes.substr(0, item.bytes.find('\0'));
    return std::nullopt;
}

std::vector<SentMessage> FakeDesktop::SentTo(WindowHandle w) const {
    std::vector<SentMessage> sent;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(sent),
                 [w](const SentMessage& m) { return m.window == w; });
    return sent;
}

const FakeDesktop::Window* FakeDesktop::Find(WindowHandle w) const {
    const auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
}

void FakeDesktop::EnumTopLevel(const Visitor& visit) {
    for (WindowHandle w : std::vector<WindowHandle>(topLevel_)) {
        visited.push_back(w);
        if (!visit(w)) return;
    }
}

bool FakeDesktop::WalkDescendants(WindowHandle parent, const Visitor& visit) {
    for (WindowHandle w : std::vector<WindowHandle>(windows_.at(parent).children)) {
        visited.push_back(w);
        if (!visit(w) || !WalkDescendants(w, visit)) return false;
    }
    return true;
}

void FakeDesktop::EnumDescendants(WindowHandle parent, const Visitor& visit) {
    if (Find(parent)) WalkDescendants(parent, visit);
}

std::string FakeDesktop::Title(WindowHandle w) {
    const Window* window = Find(w);
    return window ? window->title : std::string();
}

std::string FakeDesktop::ClassName(WindowHandle w) {
    const Window* window = Find(w);
    return window ? window->className : std::string();
}

std::uint32_t FakeDesktop::ProcessId(WindowHandle w) {
    const Window* window = Find(w);
    return window ? window->processId : 0;
}

bool FakeDesktop::IsWindow(WindowHandle w) { return Find(w) != nullptr; }

bool FakeDesktop::IsWindowUnicode(WindowHandle w) {
    const Window* window = Find(w);
    return window && window->unicode;
}

bool FakeDesktop::Busy(WindowHandle w) const {
    const Window* window = Find(w);
    return window && window->busy;
}

bool FakeDesktop::SendCopyData(WindowHandle w, std::uintptr_t dwData, const void* data, std::uint32_t cbData) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    messages.push_back({.kind = SentMessage::Kind::CopyData,
                        .window = w,
                        .dwData = dwData,
                        .bytes = std::vector<std::uint8_t>(bytes, bytes + cbData)});
    return !Busy(w);
}

void FakeDesktop::PostNull(WindowHandle w) { messages.push_back({.kind = SentMessage::Kind::PostNull, .window = w}); }

bool FakeDesktop::SendCommand(WindowHandle w, std::uint16_t id) {
    messages.push_back({.kind = SentMessage::Kind::Command, .window = w, .id = id});
    const Window* window = Find(w);
    if (!window) return false;
    if (window->busy) {
        ++queuedCommands_[w];
        return false;
    }
    if (window->onCommand) window->onCommand(*this);
    return true;
}

std::optional<std::intptr_t> FakeDesktop::SendGetTextLength(WindowHandle w) {
    messages.push_back({.kind = SentMessage::Kind::GetTextLength, .window = w});
    const Window* window = Find(w);
    if (!window) return 0;
    if (window->busy) return std::nullopt;
    return window->lengthAnswer.value_or(static_cast<std::intptr_t>(window->content.size()));
}

std::optional<std::string> FakeDesktop::SendGetText(WindowHandle w, std::size_t bufferSize) {
    messages.push_back({.kind = SentMessage::Kind::GetText, .window = w, .bufferSize = bufferSize});
    const Window* window = Find(w);
    if (window && window->busy) return std::nullopt;
    if (!window || bufferSize == 0) return std::string();
    // As WM_GETTEXT: at most bufferSize - 1 bytes and the zero, read up to the first zero.
    const std::string cut = window->content.substr(0, bufferSize - 1);
    return cut.substr(0, cut.find('\0'));
}

bool FakeClipboard::Open() {
    EXPECT_FALSE(isOpen) << "clipboard opened twice";
    if (beforeNextOpen) std::exchange(beforeNextOpen, nullptr)();
    if (opener != 0 || opens >= opensAllowed) return false;
    ++opens;
    isOpen = true;
    return true;
}

std::optional<std::string> FakeClipboard::Text() {
    EXPECT_TRUE(isOpen) << "clipboard read while closed";
    return CurrentText();
}

ClipboardContent FakeClipboard::Contents() {
    EXPECT_TRUE(isOpen) << "clipboard read while closed";
    ++contentReads;
    return content;
}

void FakeClipboard::Put(std::shared_ptr<const ClipboardContent> put) {
    EXPECT_TRUE(isOpen) << "clipboard written while closed";
    EXPECT_FALSE(ownerBusy && owner != kOwnProcess) << "emptied while its busy owner would hold the window";
    ++puts;
    content = *put;
    owner = kOwnProcess;
    ++sequence;
}

void FakeClipboard::Close() {
    EXPECT_TRUE(isOpen) << "clipboard closed while not open";
    isOpen = false;
}

std::uint32_t FakeClipboard::Format(std::string_view name) {
    registeredFormats.emplace_back(name);
    return kExcludeFromHistory;
}

std::u16string FakeDesktop::WideFromAnsi(std::string_view text) { return Utf16FromShiftJis(text); }
