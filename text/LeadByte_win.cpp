// Lead bytes of the system's ANSI code page.
#include <windows.h>

#include <array>

#include "text/UnitFunc.h"

namespace {

std::array<bool, 256> AskLeadBytes() {
    std::array<bool, 256> table{};
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info)) {
        for (int b = 0; b < 256; ++b) table[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
        return table;
    }
    // LeadByte holds inclusive ranges as pairs, ended by a pair of zeros.
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) table[b] = true;
    }
    return table;
}

}  // namespace

bool UnitFunc::IsLeadByte(unsigned char b) {
    // Asked once, on first use at start-up: the ANSI code page does not change while the
    // program runs.
    static const std::array<bool, 256> leadBytes = AskLeadBytes();
    return leadBytes[b];
}
