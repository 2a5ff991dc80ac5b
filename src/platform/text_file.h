#pragma once

// Text files read whole, and the lines they hold: settings, language, list, variables and
// script files, all small enough to hold in memory at once.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The largest file read whole: far beyond any settings, language, list, variables or script
// file, and small enough to hold in memory at once.
inline constexpr std::int64_t kMaxWholeFileSize = std::int64_t{64} << 20;

// The whole file, or nothing when it cannot be opened or read, is not a regular file (a named
// pipe is never waited for) or holds more than `limit` bytes. `why`, when given, receives a
// message that names the path and the reason.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* why = nullptr,
                                         std::int64_t limit = kMaxWholeFileSize);

// The whole file as ReadWholeFile reads it; throws std::runtime_error with the reason otherwise.
std::string ReadWholeFileOrThrow(const std::string& path);

// Splits text at CR LF, LF or lone CR; a final line break does not start another line.
std::vector<std::string> SplitLines(std::string_view text);
// The same lines as views into `text`.
std::vector<std::string_view> SplitLineViews(std::string_view text);

// Joins lines, each followed by CR LF.
std::string JoinLinesCrlf(const std::vector<std::string>& lines);

}  // namespace platform
