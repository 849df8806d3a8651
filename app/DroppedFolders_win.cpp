#include <windows.h>
// After <windows.h>, which it builds on.
#include <shlwapi.h>

#include "DroppedFolders_win.h"

namespace {

// The shell's paths are absolute; in the \\?\ form a listing is not held to MAX_PATH, so a
// drawing deeper than that is still found and refused by name.
std::wstring Unlimited(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.size() > 2 && path.compare(0, 2, L"\\\\") == 0 && path[2] != L'?' && path[2] != L'.')
        return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

// Links and junctions are name surrogates. Other reparse points (a cloud file, a
// deduplicated file) hold their data and are drawings like any other. A tag of 0 is no
// Windows tag; Wine reports its symbolic links so.
bool IsLink(const WIN32_FIND_DATAW& data) {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0);
}

class ShellListing final : public FolderListing<wchar_t> {
public:
    bool IsFolder(const std::wstring& path) override {
        const DWORD attributes = GetFileAttributesW(Unlimited(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool List(const std::wstring& folder, const Take& take) override {
        std::wstring pattern = Unlimited(folder);
        if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
        pattern += L'*';
        WIN32_FIND_DATAW data;
        // The basic information without the short names, fetched in large batches: fewer
        // round trips to a file server.
        const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH);
        // A drive's root of an empty drive has not even "." and "..".
        if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
        bool more = true;
        do {
            FolderEntry<wchar_t> entry;
            entry.name = data.cFileName;
            if (entry.name == L"." || entry.name == L"..") continue;
            entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry.hidden = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
            entry.link = IsLink(data);
            more = take(entry);
        } while (more && FindNextFileW(find, &data));
        const bool complete = !more || GetLastError() == ERROR_NO_MORE_FILES;
        FindClose(find);
        return complete;
    }

    int CompareNames(const std::wstring& a, const std::wstring& b) const override {
        return StrCmpLogicalW(a.c_str(), b.c_str());
    }

    wchar_t Separator() const override { return L'\\'; }
};

}  // namespace

DropExpansion<wchar_t> ExpandShellDrop(const std::vector<std::wstring>& dropped, const FolderReadProgress& progress) {
    ShellListing listing;
    return ExpandDroppedFolders(dropped, listing, progress);
}
