#pragma once

// The language string table: 101 captions and messages loaded from one language file.

#include <array>
#include <string>

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

// The default text of entry n: "string_" followed by n.
std::string DefaultEntry(int n);

}  // namespace config
