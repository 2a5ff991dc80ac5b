#pragma once

// The bookmark list as plain data: reading and writing bmks.bw, finding and ordering entries.
// Bookmarks are byte strings, because they are paths.

#include <string>
#include <string_view>
#include <vector>

namespace bookmarks {

// The bookmarks of a bmks.bw text: one per line, ended by CR LF, CR or LF; the last line needs
// no line break, and an empty line is an empty bookmark.
std::vector<std::string> Parse(std::string_view text);

// The bmks.bw text of a list: every bookmark followed by CR LF.
std::string Serialize(const std::vector<std::string>& list);

// The position of the first bookmark equal to `text` (letter case counts), or -1.
int FindExact(const std::vector<std::string>& list, std::string_view text);

// The position of the first bookmark that contains `text`, or -1; an empty text finds nothing.
int FindContaining(const std::vector<std::string>& list, std::string_view text);

// True when `a` stands before `b` in alphabetical order without regard to letter case; texts
// that differ only in case keep a fixed order among themselves.
bool SortsBefore(std::string_view a, std::string_view b);

// Puts the list in alphabetical order without regard to letter case.
void Sort(std::vector<std::string>& list);

// Where `text` goes in a sorted list: after every entry that does not sort after it.
int SortedPosition(const std::vector<std::string>& list, std::string_view text);

}  // namespace bookmarks
