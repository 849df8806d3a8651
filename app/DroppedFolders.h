// A dropped folder stands for the drawings in it, in its place in the drop: first its
// subfolders in name order, each expanded the same way, then its own files ending in ".dwg"
// (any letter case) in name order. Left out are other files, hidden and system entries, and
// links and junctions, which are not followed, so nothing loops. A dropped file stays as it
// is, whatever its extension.
//
// The rules are plain C++ over the platform's listing and name order (FolderListing): the
// shell's on Windows (DroppedFolders_win), a POSIX listing for marlowen-script elsewhere, a
// fake in tests. Char is wchar_t on Windows, where names the code page lacks must still be
// found and named, and char for a POSIX listing.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "PathRefusal.h"

// The most drawings one drop may stand for, dropped files included.
inline constexpr std::size_t kMaxDropDrawings = 100'000;

template <class Char>
struct FolderEntry {
    std::basic_string<Char> name;
    bool folder = false;
    bool hidden = false;  // hidden or system
    bool link = false;    // a link or a junction
};

template <class Char>
class FolderListing {
public:
    using String = std::basic_string<Char>;
    // Takes one entry; false stops the listing.
    using Take = std::function<bool(const FolderEntry<Char>&)>;

    virtual ~FolderListing() = default;
    // A dropped path that is a folder, a link to one included: the user chose it.
    virtual bool IsFolder(const String& path) = 0;
    // Hands every entry of the folder but "." and ".." to take; false when the folder cannot
    // be read.
    virtual bool List(const String& folder, const Take& take) = 0;
    // The name order: negative, zero or positive.
    virtual int CompareNames(const String& a, const String& b) const = 0;
    virtual Char Separator() const = 0;
};

enum class FolderDropOutcome { Drawings, Stopped, Unreadable, TooMany, NoDrawing };

template <class Char>
struct DropExpansion {
    using Outcome = FolderDropOutcome;
    Outcome outcome = Outcome::Drawings;
    std::vector<std::basic_string<Char>> paths;    // Drawings: the drop from then on
    std::size_t found = 0;                         // every file and drawing the drop stands for
    std::vector<std::basic_string<Char>> folders;  // Unreadable: those not read; NoDrawing: the dropped ones
};

// Told now and then how many drawings were found so far; false stops the read.
using FolderReadProgress = std::function<bool(std::size_t found)>;

template <class Char>
DropExpansion<Char> ExpandDroppedFolders(const std::vector<std::basic_string<Char>>& dropped,
                                         FolderListing<Char>& listing, const FolderReadProgress& progress = {});

// The portable name order, for a listing without the shell's: runs of digits by their value
// ("2F" before "10F"), letters without regard to case; other characters by their code.
template <class Char>
int CompareNamesNaturally(std::basic_string_view<Char> a, std::basic_string_view<Char> b);

// The refusal of an expansion that is not Drawings (nor Stopped): the text around the folder
// names, which only Unreadable and NoDrawing list, as for paths a script cannot carry.
PathRefusalText DescribeFolderRefusal(FolderDropOutcome outcome, std::size_t found, std::size_t folderCount);
template <class Char>
PathRefusalText DescribeFolderRefusal(const DropExpansion<Char>& expansion) {
    return DescribeFolderRefusal(expansion.outcome, expansion.found, expansion.folders.size());
}

// What the window shows while a long read lasts.
std::string FolderReadCountText(std::size_t found);
// The refusal of a drop made while the folders of another are read.
inline constexpr char kDropDuringReadMessage[] =
    "ドロップしたフォルダーの中の図面を探しています。終わってから、もう一度ドロップしてください。";
