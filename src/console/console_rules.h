#pragma once

// The rules behind the console window's command line and listing, as plain functions.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// The completion popup's entries for the typed text: every command, in table order, whose name
// holds the whole text as a substring ignoring ASCII case, as the name with its capitals and
// "()". An empty text matches nothing.
std::vector<std::string> CompletionsFor(std::string_view typed);

// Replaces `line` with one line of a directory listing: "name; Size: 1024; Date: 12.05.2004".
// The line is a parameter so that a long listing reuses one buffer.
void FormatListingLine(std::string& line, std::string_view name, std::int64_t size,
                       std::string_view date);

}  // namespace console
