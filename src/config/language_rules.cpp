#include "config/language_rules.h"

#include <string_view>

#include "platform/profile.h"

namespace config {

std::string DefaultEntry(int n) {
  return "string_" + std::to_string(n);
}

namespace {

// The file for one language name such as "en_GB.UTF-8"; "" when none matches.
std::string FileForLanguage(std::string_view name) {
  if (name.starts_with("en")) return "English.ini";
  if (name.starts_with("ru")) return kDefaultLanguageFile;
  return "";
}

}  // namespace

std::string LanguageFileForLocale(const std::vector<std::string>& values) {
  for (const std::string& value : values) {
    if (value.empty()) continue;
    std::string_view rest = value;
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string file = FileForLanguage(rest.substr(0, colon));
      if (!file.empty()) return file;
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return kDefaultLanguageFile;
  }
  return kDefaultLanguageFile;
}

LanguageTable::LanguageTable() {
  for (int n = 1; n <= kLanguageEntries; ++n) entries_[n - 1] = DefaultEntry(n);
}

void LanguageTable::Load(const std::string& language_file) {
  const platform::ProfileText file(language_file);
  for (int n = 1; n <= kLanguageEntries; ++n) {
    entries_[n - 1] = file.ReadString(kLanguageSection, std::to_string(n), DefaultEntry(n));
  }
}

std::string LanguageTable::Entry(int n) const {
  if (n >= 1 && n <= kLanguageEntries) return entries_[n - 1];
  return DefaultEntry(n);
}

}  // namespace config
