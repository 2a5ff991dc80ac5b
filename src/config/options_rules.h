#pragma once

// What the options window writes when it closes, and how the language editor saves a language
// file, as plain functions over the settings files.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings_rules.h"

namespace config {

// Every value the options window shows, as it is written back.
struct OptionValues {
  std::array<int, 3> background{255, 255, 255};  // red, green, blue bar positions
  std::array<int, 3> text{0, 0, 0};
  std::string font;
  std::string fsize;  // as typed, even when it is no number
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool ondel = true;
  bool trash = true;
  bool onexit = true;
  std::string logowaid;  // as typed
  bool oncnclr = true;
  // The chosen language file; nothing when no language is selected ("Lang"/"File" stays).
  std::optional<std::string> language_file;
};

// Writes every value to the settings file key by key. Throws "Unable to write to " + path when
// the file cannot be written.
void WriteOptions(const Settings& settings, const OptionValues& values);

// The line the language list shows for one language file.
std::string LanguageListLine(std::string_view display_name, std::string_view file_name);

// True for a file the favourite applications may name: an executable file or a desktop entry.
bool IsFavouriteProgram(std::string_view path, bool executable);

// The texts of a language file that the language editor works on.
inline constexpr int kEditedEntries = 100;
struct LanguageFileTexts {
  std::string author;
  std::string name;
  std::string date;
  std::vector<std::string> entries;  // entries 1 to kEditedEntries
};

// Reads entries 1 to 100 ("???" when absent) with author ("Unnamed") and name ("Language"); the
// date is not read.
LanguageFileTexts ReadLanguageFile(const std::string& path);

// Writes author, name and date in "info" and entries 1 to 100 in "LanFile", each key replaced in
// place; every other key, section and comment of an existing file stays. Throws "Unable to write
// to " + path when the file cannot be written.
void WriteLanguageFile(const std::string& path, const LanguageFileTexts& texts);

}  // namespace config
