// marlowen-script's command line: the verbs, their options, exit statuses and the Explorer
// habit (a file dropped on the program's icon, or a double click, is checked).
#pragma once

#include <string>
#include <vector>

// args: the arguments after the program's name, as bytes (the ANSI code page on Windows).
// Exit status: 0 done and nothing to report, 1 findings or a refusal, 2 a file that cannot be
// read or written, or a wrong call.
int RunMarlowenScript(const std::vector<std::string>& args);
