#pragma once

// Directory enumeration by pattern: the directory part (up to and including the last delimiter)
// and a name pattern with "*" and "?", matched without regard to ASCII letter case, where a
// trailing ".*" also matches names without a dot.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

struct DirEntry {
  std::string name;        // bytes as the file system holds them
  bool is_dir = false;     // a link to a directory counts as a directory
  bool hidden = false;     // the name begins with "." (but is not "." or "..")
  bool read_only = false;  // filled only with EnumOptions::details
  std::int64_t size = 0;   // bytes; filled only with EnumOptions::details
  std::int64_t mtime = 0;  // last write, seconds since the epoch; only with details
};

enum class EntryFilter {
  kNormalAndDirs,  // leaves hidden entries out
  kAll,            // every entry, "." and ".." included
};

struct EnumOptions {
  EntryFilter filter = EntryFilter::kNormalAndDirs;
  bool details = false;  // stat each entry for size, time and write permission
};

// Splits a pattern into its directory part (ending in the delimiter, or empty for the working
// directory) and its name pattern.
void SplitPattern(std::string_view pattern, std::string& dir, std::string& name_pattern);

// True when `name` matches the listing pattern.
bool MatchListingPattern(std::string_view name, std::string_view pattern);

// Calls `visit` for every entry of the pattern's directory whose name matches: "." and ".."
// first, then the others in the order the file system reports them. Types come from the directory
// read; stat only where it does not say.
// ".." is never reported in "/". A directory that cannot be read yields nothing. Returns the
// number of entries visited.
std::size_t EnumerateEntries(const std::string& pattern, const EnumOptions& options,
                             const std::function<void(const DirEntry&)>& visit);

}  // namespace platform
