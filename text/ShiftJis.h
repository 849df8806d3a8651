// The byte ranges of Shift-JIS (code page 932) itself, for bytes that are Shift-JIS whatever the
// system's code page: the stand-in CAD's texts, its log and the tests that read them.
// UnitFunc::IsLeadByte asks the system's code page on Windows and falls back on this elsewhere.
#pragma once

constexpr bool IsShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

constexpr bool IsShiftJisTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
