#include "config/settings_rules.h"

#include <stdexcept>

#include "platform/profile.h"

namespace config {

std::string Settings::Read(const TextKey& key) const {
  return Read(key, key.def);
}

std::string Settings::Read(const TextKey& key, std::string_view def) const {
  return platform::ProfileReadString(path_, key.section, key.key, def);
}

long long Settings::Read(const IntKey& key) const {
  return platform::ProfileReadInt(path_, key.section, key.key, key.def);
}

bool Settings::ReadFlag(const IntKey& key) const {
  return platform::ProfileReadFlag(path_, key.section, key.key, key.def != 0);
}

std::string SettingsSnapshot::Read(const TextKey& key, std::string_view def) const {
  return text_.ReadString(key.section, key.key, def);
}

long long SettingsSnapshot::Read(const IntKey& key) const {
  return text_.ReadInt(key.section, key.key, key.def);
}

bool SettingsSnapshot::ReadFlag(const IntKey& key) const {
  return text_.ReadFlag(key.section, key.key, key.def != 0);
}

void Settings::Write(const TextKey& key, std::string_view value) const {
  platform::ProfileWriteString(path_, key.section, key.key, value);
}

void Settings::Write(const IntKey& key, long long value) const {
  platform::ProfileWriteInt(path_, key.section, key.key, value);
}

void Settings::WriteFlag(const IntKey& key, bool value) const {
  platform::ProfileWriteFlag(path_, key.section, key.key, value);
}

int ColourPart(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size())
    throw std::invalid_argument("'" + std::string(text) + "' is not a valid integer value");
  unsigned long long value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') {
      throw std::invalid_argument("'" + std::string(text) + "' is not a valid integer value");
    }
    // Only the low 8 bits matter, so overflow of the higher digits is harmless.
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  const unsigned low = static_cast<unsigned>(value & 0xFF);
  return static_cast<int>(negative ? (256 - low) & 0xFF : low);
}

}  // namespace config
