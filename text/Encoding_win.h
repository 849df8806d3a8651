// Text between a Windows code page (the ANSI one, the console's, UTF-8) and UTF-16, for what
// the system gives and takes as wide text.
#pragma once

#include <string>
#include <string_view>

// Bytes that are no character of the code page come out as its stand-in and set *lost; a
// character that the code page lacks does the same, or, for text only shown, as a look-alike
// where the code page has one.
enum class LookAlikes { Refused, Taken };
std::wstring WideFromCodePage(std::string_view bytes, unsigned codePage, bool* lost = nullptr);
std::string CodePageFromWide(std::wstring_view wide, unsigned codePage, bool* lost = nullptr,
                             LookAlikes lookAlikes = LookAlikes::Refused);
