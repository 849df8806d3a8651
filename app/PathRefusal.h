// Dropped paths that a script cannot carry. The shell hands such a path over already
// changed: a character the ANSI code page lacks comes as "?", a path over the 260-byte buffer
// is cut. Written into test.scr, CAD would open no drawing or another one, and the lines after
// it (a qsave, a saveas) would act on whatever drawing is active, so the drop is refused.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// MAX_PATH: the longest path, in ANSI bytes, that the drop's buffer holds.
inline constexpr std::size_t kMaxDroppedPathBytes = 260;
// Names listed in the refusal; more are only counted.
inline constexpr std::size_t kListedRefusedPaths = 10;

enum class PathFault { None, LostCharacter, TooLong };

// ansiBytes: the path's length in the ANSI code page; lostCharacter: the conversion to it
// replaced a character (or, for a path given as bytes, the path holds "?", which no Windows
// file name holds).
PathFault ClassifyDroppedPath(std::size_t ansiBytes, bool lostCharacter);
// A path already in ANSI bytes, as marlowen-script is given it.
PathFault ClassifyAnsiPath(const std::string& path);

// The refusal's text around the names: what happened and why (only the reasons that apply),
// and what to do; the names come after it, then how many more there are.
struct PathRefusalText {
    std::string intro;       // Shift-JIS, ending in CR LF
    std::size_t listed = 0;  // how many of the refused names are shown: the first ten
    std::string more;        // "ほか N 件" when more were refused, else empty
};
// faults: those of the refused paths, in drop order (none of them PathFault::None).
PathRefusalText DescribeRefusedPaths(const std::vector<PathFault>& faults);
// Any refusal of named paths: the intro, and of that many names the first ten listed.
PathRefusalText ListedRefusal(std::string intro, std::size_t names);

// The whole text: intro, the listed names one a line, then the count of the others. The
// window joins UTF-16 text (every name whole), marlowen-script Shift-JIS bytes.
template <class String>
String JoinRefusal(const String& intro, const std::vector<String>& names, std::size_t listed, const String& more) {
    String text = intro;
    for (std::size_t i = 0; i < listed && i < names.size(); ++i) {
        text.push_back('\r');
        text.push_back('\n');
        text += names[i];
    }
    if (!more.empty()) {
        text.push_back('\r');
        text.push_back('\n');
        text += more;
    }
    return text;
}
