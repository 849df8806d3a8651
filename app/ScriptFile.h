// The script file that both roads write and CAD runs: its name in the current folder and its
// bytes.
#pragma once

#include <cstdint>
#include <string>

#include "Tables.h"

inline constexpr char kScriptFile[] = "test.scr";
// A batch's record, beside the script.
inline constexpr char kRecordFile[] = "test.csv";

// test.scr's bytes: every line followed by CR LF, no byte-order mark.
std::string ScriptFileBytes(const LineList& lines);

// Raises AppError past ten million script lines, before a script that size is built, rather
// than exhausting memory.
void CheckScriptLineCount(std::uint64_t lines);
