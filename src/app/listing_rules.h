#pragma once

// How the main window lists a directory, as plain functions of paths and names.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/entry_order_rules.h"

namespace app {

// The text that names the search-results pseudo-directory, compared after upper-casing.
inline constexpr const char* kSearchResultsName = "BW:SEARCHRES";

// True when the text, upper-cased, names the search-results pseudo-directory.
bool IsSearchResultsPath(std::string_view text);

// The parent of a directory path that ends in the delimiter ("/a/b/" gives "/a/"); the root, a
// text without a final delimiter, and a text whose only delimiter is its last character are
// returned unchanged.
std::string ParentPath(std::string_view path);

// The path line text for a directory tree position: the directory followed by the delimiter,
// except for the root, which ends in it already.
std::string TreeDirToPath(std::string_view tree_dir);

// True when a listing mask holds the path delimiter. Such a mask would list the entries of
// another directory under bare names, and every action would then take them for entries of the
// listed directory; it is refused wherever a mask is set.
bool MaskHoldsDelimiter(std::string_view mask);

// The console line that refuses such a mask.
std::string MaskDelimiterError(std::string_view mask);

// The order the list keeps: the parent entry first, then directories, then files; within a
// group no entry goes before another, so a new entry joins the end of its group.
bool ListingGroupBefore(std::string_view a, std::string_view b);

// True when the listing of a directory with `mask` shows an entry of that name: not hidden, and
// matching the mask.
bool ListingShows(std::string_view name, std::string_view mask);
// Runs the sort it is handed, on any thread, before it returns: a window runs it beside its
// event loop so that it keeps painting. The listing's entries are only complete once it has.
using SortRunner = std::function<void(const std::function<void()>& sort)>;

// Appends the entries of `path` + `mask` to `entries`: first every directory, as its name and
// the delimiter ("../" for the parent), then every other entry by its bare name, all in `order`
// (see entry_order_rules.h), which `run_sort`, when given, runs. Hidden entries and "." are left
// out. `path` is used
// unchanged, so a path without its final delimiter matches names that begin with its last part,
// none of which is then a directory below it. A mask that holds the delimiter lists nothing.
// Returns the number of entries found. `each_entry`, when given, runs after every entry read, so
// that a caller can keep its window answering through a huge directory.
std::size_t FillFileList(const std::string& path, const std::string& mask,
                         std::vector<std::string>& entries,
                         const std::function<void()>& each_entry = {},
                         const EntryOrder& order = EntryOrder(), const SortRunner& run_sort = {});
// The same entries in the order the directory gives them, for a caller to whom only which names
// are there counts.
std::size_t ListUnsorted(const std::string& path, const std::string& mask,
                         std::vector<std::string>& entries,
                         const std::function<void()>& each_entry = {});

}  // namespace app
