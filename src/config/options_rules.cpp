#include "config/options_rules.h"

#include <algorithm>
#include <cctype>

#include "config/language_rules.h"
#include "platform/profile.h"

namespace config {
namespace {

// The options window writes some integer keys as the text the user typed.
TextKey AsText(const IntKey& key) {
  return TextKey{key.section, key.key, ""};
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  if (text.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace

void WriteOptions(const Settings& settings, const OptionValues& values) {
  namespace k = keys;
  const TextKey colour_keys[] = {k::kBgcr, k::kBgcg, k::kBgcb, k::kTtcr, k::kTtcg, k::kTtcb};
  for (int i = 0; i < 3; ++i) {
    settings.Write(colour_keys[i], std::to_string(values.background[i]));
  }
  for (int i = 0; i < 3; ++i) {
    settings.Write(colour_keys[3 + i], std::to_string(values.text[i]));
  }
  settings.Write(k::kFont, values.font);
  settings.Write(AsText(k::kFsize), values.fsize);
  settings.WriteFlag(k::kFontb, values.bold);
  settings.WriteFlag(k::kFonti, values.italic);
  settings.WriteFlag(k::kFontu, values.underline);
  settings.WriteFlag(k::kOndel, values.ondel);
  settings.WriteFlag(k::kOnexit, values.onexit);
  settings.Write(AsText(k::kLogowaid), values.logowaid);
  settings.WriteFlag(k::kOncnclr, values.oncnclr);
  if (values.language_file) settings.Write(k::kLangFile, *values.language_file);
}

std::string LanguageListLine(std::string_view display_name, std::string_view file_name) {
  return std::string(display_name) + " [" + std::string(file_name) + "]";
}

bool IsFavouriteProgram(std::string_view path, bool executable) {
  return executable || EndsWithNoCase(path, ".desktop");
}

LanguageFileTexts ReadLanguageFile(const std::string& path) {
  LanguageFileTexts texts;
  for (int n = 1; n <= kEditedEntries; ++n) {
    texts.entries.push_back(
        platform::ProfileReadString(path, kLanguageSection, std::to_string(n), "???"));
  }
  texts.author = platform::ProfileReadString(path, "info", "author", "Unnamed");
  texts.name = platform::ProfileReadString(path, "info", "name", "Language");
  return texts;
}

void WriteLanguageFile(const std::string& path, const LanguageFileTexts& texts) {
  // One rewrite for all 103 keys: a save stays quick however slow the disk syncs.
  std::vector<platform::ProfileEntry> writes = {
      {"info", "author", texts.author}, {"info", "name", texts.name}, {"info", "date", texts.date}};
  for (int n = 1; n <= kEditedEntries; ++n) {
    const std::size_t i = static_cast<std::size_t>(n - 1);
    writes.push_back({kLanguageSection, std::to_string(n),
                      i < texts.entries.size() ? texts.entries[i] : std::string()});
  }
  platform::ProfileWriteStrings(path, writes);
}

}  // namespace config
