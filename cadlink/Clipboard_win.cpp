#include "Clipboard_win.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

// How long the owner of the clipboard's content may take to answer before it counts as busy.
constexpr UINT kOwnerWaitMs = 20;

std::uint32_t ProcessOf(HWND w) {
    DWORD processId = 0;
    if (w) GetWindowThreadProcessId(w, &processId);
    return processId;
}

// The text up to its first zero byte, at most size bytes.
std::string UpToZero(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

class LockedGlobal {
public:
    explicit LockedGlobal(HANDLE h) : h_(h), data_(static_cast<const char*>(GlobalLock(h))) {}
    ~LockedGlobal() {
        if (data_) GlobalUnlock(h_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    const char* Data() const { return data_; }
    std::size_t Size() const { return GlobalSize(h_); }

private:
    HANDLE h_;
    const char* data_;
};

constexpr char kOwnerClass[] = "MarlowenClipboardOwner";
constexpr std::size_t kRenderedAtOnceBytes = 64 * 1024;

// Small formats go down at once, so that they outlive even a program that is killed; larger
// ones are rendered when a program asks for them.
bool RenderedLater(const ClipboardItem& item) { return item.bytes.size() > kRenderedAtOnceBytes; }

// How a clipboard format is held, and so how it is copied.
enum class Holding { Memory, EnhancedMetafile, MetafilePicture, NotCopied };

Holding HoldingOf(UINT format, bool hasEnhancedMetafile) {
    switch (format) {
    // The system makes the bitmap and its palette again from CF_DIB, which it lists beside them.
    case CF_BITMAP:
    case CF_PALETTE:
    // Only their owner can draw or render these.
    case CF_OWNERDISPLAY:
    case CF_DSPBITMAP:
    case CF_DSPENHMETAFILE:
    case CF_DSPMETAFILEPICT: return Holding::NotCopied;
    case CF_ENHMETAFILE: return Holding::EnhancedMetafile;
    // The system makes either metafile form from the other.
    case CF_METAFILEPICT: return hasEnhancedMetafile ? Holding::NotCopied : Holding::MetafilePicture;
    }
    // Handles whose meaning only their owner knows.
    if ((format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST) ||
        (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST))
        return Holding::NotCopied;
    return Holding::Memory;
}

std::string MemoryBytes(HANDLE data) {
    LockedGlobal memory(data);
    return memory.Data() ? std::string(memory.Data(), memory.Size()) : std::string();
}

HGLOBAL MemoryFrom(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size == 0 ? 1 : size);
    if (!memory) return nullptr;
    if (void* out = GlobalLock(memory)) {
        std::memcpy(out, bytes, size);
        GlobalUnlock(memory);
        return memory;
    }
    GlobalFree(memory);
    return nullptr;
}

std::string EnhancedMetafileBytes(HANDLE data) {
    const auto metafile = static_cast<HENHMETAFILE>(data);
    std::string bytes(GetEnhMetaFileBits(metafile, 0, nullptr), '\0');
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
    return bytes;
}

// A METAFILEPICT's mapping mode and extents, then the metafile's bits.
std::string MetafilePictureBytes(HANDLE data) {
    LockedGlobal memory(data);
    if (!memory.Data() || memory.Size() < sizeof(METAFILEPICT)) return {};
    METAFILEPICT picture;
    std::memcpy(&picture, memory.Data(), sizeof picture);
    const std::int32_t header[3] = {picture.mm, picture.xExt, picture.yExt};
    std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
    const UINT size = GetMetaFileBitsEx(picture.hMF, 0, nullptr);
    bytes.resize(sizeof header + size);
    GetMetaFileBitsEx(picture.hMF, size, bytes.data() + sizeof header);
    return bytes;
}

HANDLE MetafilePictureFrom(const std::string& bytes) {
    std::int32_t header[3];
    if (bytes.size() < sizeof header) return nullptr;
    std::memcpy(header, bytes.data(), sizeof header);
    METAFILEPICT picture{header[0], header[1], header[2], nullptr};
    picture.hMF = SetMetaFileBitsEx(static_cast<UINT>(bytes.size() - sizeof header),
                                    reinterpret_cast<const BYTE*>(bytes.data() + sizeof header));
    if (!picture.hMF) return nullptr;
    HGLOBAL memory = MemoryFrom(&picture, sizeof picture);
    if (!memory) DeleteMetaFile(picture.hMF);
    return memory;
}

std::string BytesOf(Holding holding, HANDLE data) {
    switch (holding) {
    case Holding::Memory: return MemoryBytes(data);
    case Holding::EnhancedMetafile: return EnhancedMetafileBytes(data);
    case Holding::MetafilePicture: return MetafilePictureBytes(data);
    case Holding::NotCopied: break;
    }
    return {};
}

// A handle the clipboard takes over when SetClipboardData succeeds; freed here otherwise.
void PutFormat(UINT format, Holding holding, const std::string& bytes) {
    switch (holding) {
    case Holding::Memory:
        if (HGLOBAL memory = MemoryFrom(bytes.data(), bytes.size()); memory && !SetClipboardData(format, memory))
            GlobalFree(memory);
        return;
    case Holding::EnhancedMetafile:
        if (HENHMETAFILE metafile =
                SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), reinterpret_cast<const BYTE*>(bytes.data()));
            metafile && !SetClipboardData(format, metafile))
            DeleteEnhMetaFile(metafile);
        return;
    case Holding::MetafilePicture:
        if (HANDLE memory = MetafilePictureFrom(bytes); memory && !SetClipboardData(format, memory)) {
            auto* picture = static_cast<METAFILEPICT*>(GlobalLock(memory));
            if (picture) DeleteMetaFile(picture->hMF);
            GlobalUnlock(memory);
            GlobalFree(memory);
        }
        return;
    case Holding::NotCopied: return;
    }
}

}  // namespace

Win32Clipboard::Win32Clipboard() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kOwnerClass;
    RegisterClassExA(&wc);  // fails harmlessly when a second object registers it again
    owner_ = CreateWindowExA(0, kOwnerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
}

Win32Clipboard::~Win32Clipboard() {
    // Its destruction asks for every format still to be rendered, so nothing is lost.
    if (owner_) DestroyWindow(owner_);
}

LRESULT CALLBACK Win32Clipboard::OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<Win32Clipboard*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
        switch (msg) {
        case WM_RENDERFORMAT: self->RenderLater(static_cast<UINT>(wp)); return 0;
        case WM_RENDERALLFORMATS: self->RenderAllLater(); return 0;
        case WM_DESTROYCLIPBOARD: self->later_.reset(); return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Win32Clipboard::RenderLater(UINT format) {
    if (!later_) return;
    // A format put down for later is never a metafile picture beside an enhanced metafile.
    for (const ClipboardItem& item : *later_)
        if (item.format == format && RenderedLater(item)) PutFormat(format, HoldingOf(format, false), item.bytes);
}

void Win32Clipboard::RenderAllLater() {
    if (!later_ || !::OpenClipboard(owner_)) return;
    if (GetClipboardOwner() == owner_)
        for (const ClipboardItem& item : *later_)
            if (RenderedLater(item)) PutFormat(item.format, HoldingOf(item.format, false), item.bytes);
    ::CloseClipboard();
    later_.reset();
}

bool Win32Clipboard::Open() { return ::OpenClipboard(owner_) != FALSE; }

bool Win32Clipboard::OwnerResponds() {
    HWND owner = GetClipboardOwner();
    DWORD_PTR answer = 0;
    return !owner || owner == owner_ ||
           SendMessageTimeoutA(owner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kOwnerWaitMs, &answer) != 0;
}

std::optional<std::string> Win32Clipboard::Text() {
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return std::nullopt;
    LockedGlobal text(data);
    if (!text.Data()) return std::nullopt;
    return UpToZero(text.Data(), text.Size());
}

ClipboardContent Win32Clipboard::Contents() {
    const bool hasEnhancedMetafile = IsClipboardFormatAvailable(CF_ENHMETAFILE) != FALSE;
    ClipboardContent content;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        const Holding holding = HoldingOf(format, hasEnhancedMetafile);
        if (holding == Holding::NotCopied) continue;
        if (HANDLE data = GetClipboardData(format)) content.push_back({format, BytesOf(holding, data)});
    }
    return content;
}

void Win32Clipboard::Put(std::shared_ptr<const ClipboardContent> content) {
    ::EmptyClipboard();
    later_ = std::move(content);
    bool hasEnhancedMetafile = false;
    for (const ClipboardItem& item : *later_) hasEnhancedMetafile |= item.format == CF_ENHMETAFILE;
    for (const ClipboardItem& item : *later_) {
        const Holding holding = HoldingOf(item.format, hasEnhancedMetafile);
        if (holding == Holding::NotCopied) continue;
        if (RenderedLater(item)) SetClipboardData(item.format, nullptr);
        else PutFormat(item.format, holding, item.bytes);
    }
}

void Win32Clipboard::Close() { ::CloseClipboard(); }

std::uint32_t Win32Clipboard::SequenceNumber() { return GetClipboardSequenceNumber(); }

std::uint32_t Win32Clipboard::Format(std::string_view name) {
    return RegisterClipboardFormatA(std::string(name).c_str());
}

std::uint32_t Win32Clipboard::OwnerProcessId() { return ProcessOf(GetClipboardOwner()); }

std::uint32_t Win32Clipboard::OpenerProcessId() { return ProcessOf(GetOpenClipboardWindow()); }
