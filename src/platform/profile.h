#pragma once

// Settings files in the classic initialisation-file format: "[section]" lines open sections,
// "key=value" lines give values. Every call reads or writes the file itself; nothing is cached.

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Longest value a read returns, in bytes.
inline constexpr std::size_t kProfileMaxValue = 2047;

// Raised when a write cannot be made; what() is "Unable to write to " + path.
class ProfileWriteError : public std::runtime_error {
 public:
  explicit ProfileWriteError(const std::string& path)
      : std::runtime_error("Unable to write to " + path) {}
};

// The value of `key` in `section` (names match without regard to ASCII letter case; the first
// matching section and key win), cut to kProfileMaxValue bytes, with the spaces around it and
// then one pair of enclosing double or single quotes dropped. `def` when the file, section or
// key is missing.
std::string ProfileReadString(const std::string& file, std::string_view section,
                              std::string_view key, std::string_view def);

// A settings file read and parsed once, for code that reads many keys at one moment (a window
// dressing itself, a language table). Reads answer as the functions above would have answered
// at the moment of reading; later changes to the file are not seen.
class ProfileText {
 public:
  // Reads the file; a missing or unreadable file reads as empty.
  explicit ProfileText(const std::string& file);

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  long long ReadInt(std::string_view section, std::string_view key, long long def) const;
  bool ReadFlag(std::string_view section, std::string_view key, bool def) const;

 private:
  // The cleaned value of the key, or nothing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  // Values by lower-cased section and key, joined by a line break (which neither can hold).
  std::map<std::string, std::string, std::less<>> values_;
};

// Decimal with an optional sign, or hexadecimal behind "0x" or "$"; nothing else.
std::optional<long long> ParseProfileInt(std::string_view text);

// The key read as an integer; `def` when absent or not an integer.
long long ProfileReadInt(const std::string& file, std::string_view section, std::string_view key,
                         long long def);

// The key read as an integer, any value but 0 meaning true; `def` when absent or not an integer.
bool ProfileReadFlag(const std::string& file, std::string_view section, std::string_view key,
                     bool def);

// Replaces the value in place, keeping every other line; appends a missing key at the end of its
// section and a missing section at the end of the file; creates the file (not its directory).
// The file is rewritten atomically with CR LF line ends, unless it already holds the value (then
// it is left alone, unsynced). Throws ProfileWriteError on failure.
void ProfileWriteString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value);
// One key to write: section, key and value.
struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
};
// Writes several keys, in order, each as ProfileWriteString would, with one rewrite of the file.
void ProfileWriteStrings(const std::string& file, const std::vector<ProfileEntry>& entries);
void ProfileWriteInt(const std::string& file, std::string_view section, std::string_view key,
                     long long value);
void ProfileWriteFlag(const std::string& file, std::string_view section, std::string_view key,
                      bool value);

}  // namespace platform
