// The inspector's commands: one table gives each its usage line, what it does and its
// handler; the usage text and the check of a call's arguments are both made from it.
#pragma once

#include <string>
#include <vector>

using Args = std::vector<std::string>;  // ANSI, the command's name first

// What the inspector prints when called without a command.
std::string Usage();

// Runs the command; the exit code: 0 done, 1 failed, 2 misused. What it printed goes to out;
// why it failed, in ANSI, to error.
int Execute(const Args& args, std::string& out, std::string& error);
