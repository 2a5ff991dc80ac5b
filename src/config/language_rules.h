#pragma once

// The language string table: 101 captions and messages loaded from one language file.

#include <array>
#include <string>
#include <vector>

namespace config {

inline constexpr int kLanguageEntries = 101;
inline constexpr const char* kLanguageSection = "LanFile";
inline constexpr const char* kDefaultLanguageFile = "Russuan.ini";

class LanguageTable {
 public:
  LanguageTable();

  // Reloads every entry from the language file; a missing file or key gives "string_N".
  void Load(const std::string& language_file);

  // Entry n (1 to 101); "string_N" for numbers outside the table.
  std::string Entry(int n) const;

 private:
  std::array<std::string, kLanguageEntries> entries_;
};

// The locale variables that name the user's language, in the order they take precedence.
inline constexpr const char* kLocaleVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// The language file for a start whose config.ini names none: the first locale variable that
// is set decides ("en..." gives English.ini, "ru..." Russuan.ini; LANGUAGE may list several
// languages, the first one with a file counts); the default file for C, POSIX and languages
// without a file. `values` holds the variables' values in kLocaleVariables order ("" unset).
std::string LanguageFileForLocale(const std::vector<std::string>& values);

// The default text of entry n: "string_" followed by n.
std::string DefaultEntry(int n);

}  // namespace config
