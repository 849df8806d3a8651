// The shell's drop data of one WM_DROPFILES: the drop point, the number of files, each path
// read once with its folders expanded, and the refusal of a drop that cannot be run. It is
// handed back with DragFinish on every road out of the handler, errors included.
#pragma once

#include <windows.h>
// After <windows.h>, which it builds on.
#include <shellapi.h>

#include <string>
#include <vector>

#include "DroppedFolders.h"
#include "PathRefusal.h"

class DropData {
public:
    explicit DropData(HDROP drop) : drop_(drop) {}
    DropData(const DropData&) = delete;
    DropData& operator=(const DropData&) = delete;
    ~DropData() { DragFinish(drop_); }

    POINT ClientPoint() const;
    // The shell's number of files: of the drop as made, before its folders are read.
    int Count() const;
    // Reads the shell's paths once each (UTF-16), puts in place of each folder the drawings it
    // holds, and converts them to the ANSI bytes that the tables and the script carry.
    // progress hears now and then how many drawings were found; false from it stops the read.
    void ReadPaths(const FolderReadProgress& progress);
    // The read was stopped: the drop is given up.
    bool Stopped() const { return expansion_.outcome == FolderDropOutcome::Stopped; }
    // The drop as ReadPaths left it: the number of paths, and path i in ANSI bytes.
    int PathCount() const { return static_cast<int>(paths_.size()); }
    const std::string& Path(int i) const { return paths_.at(static_cast<std::size_t>(i)).ansi; }
    // The information box's text when the drop is refused: a folder without drawings, one that
    // cannot be read, too many drawings; or a path that a script cannot carry (a character the
    // ANSI code page lacks, more than 260 bytes), every such name whole, in UTF-16. Empty when
    // the drop goes on.
    std::wstring RefusalText() const;

private:
    struct DroppedPath {
        std::wstring wide;
        std::string ansi;
        PathFault fault = PathFault::None;
    };

    HDROP drop_;
    DropExpansion<wchar_t> expansion_;
    std::vector<DroppedPath> paths_;
};
