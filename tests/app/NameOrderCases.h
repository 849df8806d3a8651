// Pairs of names in the shell's name order (StrCmpLogicalW) that the portable order must give
// alike: the native tests hold the portable order to them, the Windows tests the shell's.
#pragma once

#include <string>

struct NameOrderCase {
    const wchar_t* a;
    const wchar_t* b;
    int sign;  // of a compared with b
};

// clang-format off
inline constexpr NameOrderCase kNameOrderCases[] = {
    {L"2F",          L"10F",           -1},  // digits by value, not one by one
    {L"x9.dwg",      L"x10.dwg",       -1},
    {L"x10.dwg",     L"x9.dwg",         1},
    {L"a.dwg",       L"B.dwg",         -1},  // letters without regard to case
    {L"B.dwg",       L"a.dwg",          1},
    {L"PLAN.DWG",    L"plan.dwg",       0},
    {L"007.dwg",     L"7.dwg",          0},  // leading zeros weigh nothing
    {L"1F",          L"詳細図",         -1},
    {L"F2",          L"F10",           -1},
    {L"ab",          L"abc",           -1},
    {L"9999999999",  L"10000000000",   -1},  // beyond 32 bits
};
// clang-format on

inline int Sign(int value) { return (value > 0) - (value < 0); }
