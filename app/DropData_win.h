// The shell's drop data of one WM_DROPFILES: the drop point, the number of files, each path
// read once, and the refusal of paths that a script cannot carry. It is handed back with
// DragFinish on every road out of the handler, errors included.
#pragma once

#include <windows.h>
// After <windows.h>, which it builds on.
#include <shellapi.h>

#include <string>
#include <vector>

#include "PathRefusal.h"

class DropData {
public:
    explicit DropData(HDROP drop) : drop_(drop) {}
    DropData(const DropData&) = delete;
    DropData& operator=(const DropData&) = delete;
    ~DropData() { DragFinish(drop_); }

    POINT ClientPoint() const;
    int Count() const;
    // Reads paths 0 … n − 1 once each, as the shell holds them (UTF-16), and converts them to
    // the ANSI bytes that the tables and the script carry.
    void ReadPaths(int n);
    // Path i in ANSI bytes, as ReadPaths left it.
    const std::string& Path(int i) const { return paths_.at(static_cast<std::size_t>(i)).ansi; }
    // The information box's text when a path read is one a script cannot carry (a character
    // the ANSI code page lacks, more than 260 bytes): every such name whole, in UTF-16. Empty
    // when every path can be carried.
    std::wstring RefusalText() const;

private:
    struct DroppedPath {
        std::wstring wide;
        std::string ansi;
        PathFault fault = PathFault::None;
    };

    HDROP drop_;
    std::vector<DroppedPath> paths_;
};
