#include "tools/copy_rules.h"

#include <cstdio>

#include "platform/paths.h"

namespace copying {
namespace {

std::string SizeText(std::int64_t bytes) {
  static constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB"};
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

}  // namespace

std::string JoinPath(std::string_view dir, std::string_view name) {
  // A copy target is always a directory: an empty one is the root, never the working directory.
  return platform::JoinPath(dir.empty() ? std::string_view("/") : dir, name);
}

std::string SourcePath(std::string_view current_dir, std::string_view entry) {
  if (!entry.empty() && entry.front() == platform::kPathDelim) return std::string(entry);
  return std::string(current_dir) + std::string(entry);
}

std::string ProgressText(int files_done, int files_total, std::int64_t bytes_done,
                         std::int64_t bytes_total) {
  return std::to_string(files_done) + " of " + std::to_string(files_total) + " files, " +
         SizeText(bytes_done) + " of " + SizeText(bytes_total);
}

std::string SkippedLine(std::string_view source) {
  return "> Warning: Not a regular file, skipped: \"" + std::string(source) + "\"";
}

std::string StoppedLine(std::string_view target) {
  return "> Warning: Copy stopped, the partial copy was removed: \"" + std::string(target) + "\"";
}

std::string FailuresText(const std::vector<std::string>& failures, int files) {
  std::string text = std::to_string(failures.size()) + " of " + std::to_string(files) +
                     (files == 1 ? " file was" : " files were") + " not copied:";
  for (const std::string& line : failures) text += "\n" + line;
  return text;
}

int Permille(std::int64_t done, std::int64_t total) {
  if (total <= 0 || done >= total) return 1000;
  if (done <= 0) return 0;
  return static_cast<int>(static_cast<long double>(done) * 1000 / total);
}

}  // namespace copying
