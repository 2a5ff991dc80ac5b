#include "platform/profile.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdint>
#include <set>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

namespace platform {
namespace {

std::string_view Trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// What one line of a settings file is.
struct ParsedLine {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;      // section or key name, trimmed
  std::size_t value_pos = 0;  // for keys: where the value starts (just past the "=")
};

ParsedLine ParseLine(std::string_view line) {
  ParsedLine parsed;
  std::string_view text = Trim(line);
  if (!text.empty() && text.front() == '[') {
    std::size_t close = text.find(']');
    if (close != std::string_view::npos) {
      parsed.kind = ParsedLine::kSection;
      parsed.name = Trim(text.substr(1, close - 1));
    }
    return parsed;
  }
  std::size_t eq = line.find('=');
  if (eq != std::string_view::npos) {
    parsed.kind = ParsedLine::kKey;
    parsed.name = Trim(line.substr(0, eq));
    parsed.value_pos = eq + 1;
  }
  return parsed;
}

// The map key of a section's key: both names lower-cased, joined by a line break.
std::string ValueKey(std::string_view section, std::string_view key) {
  return LowerAscii(section) + '\n' + LowerAscii(key);
}

std::string CleanValue(std::string_view raw) {
  std::string_view value = Trim(raw);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kProfileMaxValue));
}

// A line break inside a name or value would add lines (even sections) to the file, so it is
// written as a space.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

std::optional<unsigned long long> ParseHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 16) return std::nullopt;
  unsigned long long value = 0;
  auto [end, err] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (err != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

}  // namespace

ProfileText::ProfileText(const std::string& file) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return;
  std::set<std::string, std::less<>> seen_sections;
  std::string section;   // lower-cased name of the section being read
  bool counted = false;  // only the first section of a name counts
  std::size_t start = 0;
  while (start < text->size()) {
    std::size_t end = text->find_first_of("\r\n", start);
    if (end == std::string::npos) end = text->size();
    const std::string_view line = std::string_view(*text).substr(start, end - start);
    start = end + 1;

    const ParsedLine parsed = ParseLine(line);
    if (parsed.kind == ParsedLine::kSection) {
      section = LowerAscii(parsed.name);
      counted = seen_sections.insert(section).second;
    } else if (counted && parsed.kind == ParsedLine::kKey) {
      // The first key of a name wins; emplace leaves an earlier one in place.
      values_.emplace(section + '\n' + LowerAscii(parsed.name),
                      CleanValue(line.substr(parsed.value_pos)));
    }
  }
}

std::optional<std::string> ProfileText::Value(std::string_view section,
                                              std::string_view key) const {
  const auto found = values_.find(ValueKey(section, key));
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

std::string ProfileText::ReadString(std::string_view section, std::string_view key,
                                    std::string_view def) const {
  std::optional<std::string> value = Value(section, key);
  return value ? *value : std::string(def);
}

long long ProfileText::ReadInt(std::string_view section, std::string_view key,
                               long long def) const {
  std::optional<std::string> value = Value(section, key);
  std::optional<long long> number = value ? ParseProfileInt(*value) : std::nullopt;
  return number ? *number : def;
}

bool ProfileText::ReadFlag(std::string_view section, std::string_view key, bool def) const {
  std::optional<std::string> value = Value(section, key);
  std::optional<long long> number = value ? ParseProfileInt(*value) : std::nullopt;
  return number ? *number != 0 : def;
}

std::string ProfileReadString(const std::string& file, std::string_view section,
                              std::string_view key, std::string_view def) {
  return ProfileText(file).ReadString(section, key, def);
}

std::optional<long long> ParseProfileInt(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  std::optional<unsigned long long> hex;
  if (text.front() == '$') {
    hex = ParseHex(text.substr(1));
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = ParseHex(text.substr(2));
  } else {
    // from_chars takes a "-" but no "+", and nothing but digits after the sign.
    if (text.front() == '+') {
      text.remove_prefix(1);
      if (text.empty() || text.front() == '-') return std::nullopt;
    }
    long long value = 0;
    auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (err != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }
  // Hexadecimal gives the 64-bit pattern, so "$FFFFFFFFFFFFFFFF" is -1.
  if (!hex) return std::nullopt;
  return static_cast<long long>(*hex);
}

long long ProfileReadInt(const std::string& file, std::string_view section, std::string_view key,
                         long long def) {
  return ProfileText(file).ReadInt(section, key, def);
}

bool ProfileReadFlag(const std::string& file, std::string_view section, std::string_view key,
                     bool def) {
  return ProfileText(file).ReadFlag(section, key, def);
}

namespace {

std::vector<std::string> LinesToRewrite(const std::string& file) {
  if (std::optional<std::string> text = ReadWholeFile(file)) return SplitLines(*text);
  // A file that exists but cannot be read must not be replaced by one holding a single key.
  struct stat st;
  if (lstat(file.c_str(), &st) == 0) throw ProfileWriteError(file);
  return {};
}

void SetValue(std::vector<std::string>& lines, std::string_view section, std::string_view key,
              std::string_view value) {
  const std::string section_text = OneLine(section);
  const std::string key_text = OneLine(key);
  const std::string value_text = OneLine(value);

  bool in_section = false, found_section = false, replaced = false;
  std::size_t insert_at = lines.size();  // after the section's last non-blank line
  for (std::size_t i = 0; i < lines.size() && !replaced; ++i) {
    ParsedLine parsed = ParseLine(lines[i]);
    if (parsed.kind == ParsedLine::kSection) {
      if (in_section) break;
      in_section = EqualsIgnoreCase(parsed.name, section_text);
      if (in_section) {
        found_section = true;
        insert_at = i + 1;
      }
    } else if (in_section && parsed.kind == ParsedLine::kKey &&
               EqualsIgnoreCase(parsed.name, key_text)) {
      // The line keeps its key as written; only the value changes.
      lines[i] = lines[i].substr(0, parsed.value_pos) + value_text;
      replaced = true;
    } else if (in_section && !Trim(lines[i]).empty()) {
      insert_at = i + 1;
    }
  }
  if (!found_section) {
    lines.push_back("[" + section_text + "]");
    lines.push_back(key_text + "=" + value_text);
  } else if (!replaced) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
                 key_text + "=" + value_text);
  }
}

void Rewrite(const std::string& file, const std::vector<std::string>& lines) {
  try {
    WriteFileAtomic(file, JoinLinesCrlf(lines));
  } catch (const std::runtime_error&) {
    throw ProfileWriteError(file);
  }
}

}  // namespace

void ProfileWriteString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  ProfileWriteStrings(file, {{std::string(section), std::string(key), std::string(value)}});
}

void ProfileWriteStrings(const std::string& file, const std::vector<ProfileEntry>& entries) {
  const std::vector<std::string> before = LinesToRewrite(file);
  std::vector<std::string> lines = before;
  for (const ProfileEntry& entry : entries) SetValue(lines, entry.section, entry.key, entry.value);
  // A file that already holds every value is left as it is: no rewrite, and no sync of it.
  if (lines != before) Rewrite(file, lines);
}

void ProfileWriteInt(const std::string& file, std::string_view section, std::string_view key,
                     long long value) {
  ProfileWriteString(file, section, key, std::to_string(value));
}

void ProfileWriteFlag(const std::string& file, std::string_view section, std::string_view key,
                      bool value) {
  ProfileWriteString(file, section, key, value ? "1" : "0");
}

}  // namespace platform
