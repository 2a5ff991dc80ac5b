#pragma once

// Every key of config.ini with its section, type and default, in one place. Each accessor reads
// or writes the file itself: nothing is cached, so every window sees the latest value.

#include <string>
#include <string_view>

#include "platform/profile.h"

namespace config {

inline constexpr const char* kConfigFileName = "config.ini";
inline constexpr const char* kFavAppsFileName = "favapps.bw";
inline constexpr const char* kBookmarksFileName = "bmks.bw";

// One text key and its default.
struct TextKey {
  const char* section;
  const char* key;
  const char* def;
};
// One integer or flag key and its default.
struct IntKey {
  const char* section;
  const char* key;
  long long def;
};

namespace keys {
// Colour parts are read as text and converted by the reader, which reports what is no number.
inline constexpr TextKey kBgcr{"interface", "bgcr", "255"};
inline constexpr TextKey kBgcg{"interface", "bgcg", "255"};
inline constexpr TextKey kBgcb{"interface", "bgcb", "255"};
inline constexpr TextKey kTtcr{"interface", "ttcr", "0"};
inline constexpr TextKey kTtcg{"interface", "ttcg", "0"};
inline constexpr TextKey kTtcb{"interface", "ttcb", "0"};
inline constexpr TextKey kFont{"interface", "font", "Arial"};
inline constexpr IntKey kFsize{"interface", "fsize", 8};
inline constexpr IntKey kFontb{"interface", "fontb", 0};
inline constexpr IntKey kFonti{"interface", "fonti", 0};
inline constexpr IntKey kFontu{"interface", "fontu", 0};
inline constexpr IntKey kDirTree{"interface", "DirTree", 0};
inline constexpr IntKey kBmatframe{"interface", "bmatframe", 0};
inline constexpr IntKey kOnexit{"confrims", "onexit", 1};
inline constexpr IntKey kOndel{"confrims", "ondel", 1};
// Deleting moves files to the desktop trash; 0 deletes them for ever.
inline constexpr IntKey kTrash{"confrims", "trash", 1};
// The splash wait; the options window shows "2000" when the key is absent.
inline constexpr IntKey kLogowaid{"confrims", "logowaid", 1000};
inline constexpr const char* kLogowaidOptionsDefault = "2000";
inline constexpr IntKey kOncnclr{"confrims", "oncnclr", 1};
inline constexpr TextKey kLangFile{"Lang", "File", "Russuan.ini"};
// Written by every scan as "fsys"/"LastDir" and on closing as "FSys"/"LastDir": one entry.
inline constexpr TextKey kLastDir{"fsys", "LastDir", ""};
inline constexpr TextKey kLastDirOnClose{"FSys", "LastDir", ""};
// Where each secondary window stood when last hidden: key = the window's name, value "x,y".
inline constexpr const char* kWindowPlaceSection = "windows";
// The order of the file list, chosen in the View menu: "name", "extension", "size" or "time",
// followed by " descending" for the reverse order.
inline constexpr TextKey kSortOrder{"interface", "sortorder", "name"};
}  // namespace keys

// The settings file read once, for a window that dresses itself from many keys at one moment.
// Reads answer as Settings would have answered when the snapshot was taken.
class SettingsSnapshot {
 public:
  explicit SettingsSnapshot(const std::string& path) : text_(path) {}

  std::string Read(const TextKey& key) const { return Read(key, key.def); }
  std::string Read(const TextKey& key, std::string_view def) const;
  long long Read(const IntKey& key) const;
  bool ReadFlag(const IntKey& key) const;

 private:
  platform::ProfileText text_;
};

// Typed access to one settings file.
class Settings {
 public:
  explicit Settings(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // Reads the whole file once.
  SettingsSnapshot Snapshot() const { return SettingsSnapshot(path_); }

  // The text value, or `def` when absent (the key's default when not given).
  std::string Read(const TextKey& key) const;
  std::string Read(const TextKey& key, std::string_view def) const;
  long long Read(const IntKey& key) const;
  bool ReadFlag(const IntKey& key) const;

  // Writes go straight to the file; a refused write throws "Unable to write to " + path.
  void Write(const TextKey& key, std::string_view value) const;
  void Write(const IntKey& key, long long value) const;
  void WriteFlag(const IntKey& key, bool value) const;

 private:
  std::string path_;
};

// A colour part as the main window reads it: a whole decimal number, cut to its low 8 bits.
// Throws std::invalid_argument("'<text>' is not a valid integer value") for anything else.
int ColourPart(std::string_view text);

}  // namespace config
