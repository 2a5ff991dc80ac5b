#include "config/language_rules.h"

#include "platform/profile.h"

namespace config {

std::string DefaultEntry(int n) {
  return "string_" + std::to_string(n);
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
