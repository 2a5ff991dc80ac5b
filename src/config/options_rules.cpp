#include "config/options_rules.h"

#include <algorithm>

#include "config/language_rules.h"
#include "platform/ascii_case.h"
#include "platform/profile.h"

namespace config {
namespace {

template <typename Key>
platform::ProfileEntry Entry(const Key& key, std::string value) {
  return {key.section, key.key, std::move(value)};
}

std::string Flag(bool value) {
  return value ? "1" : "0";
}

}  // namespace

void WriteOptions(const Settings& settings, const OptionValues& values) {
  namespace k = keys;
  // One rewrite of the file: either every value is written or, on failure, none.
  std::vector<platform::ProfileEntry> writes = {
      Entry(k::kBgcr, std::to_string(values.background[0])),
      Entry(k::kBgcg, std::to_string(values.background[1])),
      Entry(k::kBgcb, std::to_string(values.background[2])),
      Entry(k::kTtcr, std::to_string(values.text[0])),
      Entry(k::kTtcg, std::to_string(values.text[1])),
      Entry(k::kTtcb, std::to_string(values.text[2])),
      Entry(k::kFont, values.font),
      Entry(k::kFsize, values.fsize),
      Entry(k::kFontb, Flag(values.bold)),
      Entry(k::kFonti, Flag(values.italic)),
      Entry(k::kFontu, Flag(values.underline)),
      Entry(k::kOndel, Flag(values.ondel)),
      Entry(k::kTrash, Flag(values.trash)),
      Entry(k::kOnexit, Flag(values.onexit)),
      Entry(k::kLogowaid, values.logowaid),
      Entry(k::kOncnclr, Flag(values.oncnclr)),
  };
  if (values.language_file) writes.push_back(Entry(k::kLangFile, *values.language_file));
  platform::ProfileWriteStrings(settings.Path(), writes);
}

std::string LanguageListLine(std::string_view display_name, std::string_view file_name) {
  return std::string(display_name) + " [" + std::string(file_name) + "]";
}

bool IsFavouriteProgram(std::string_view path, bool executable) {
  return executable || platform::EndsWithIgnoreCase(path, ".desktop");
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
