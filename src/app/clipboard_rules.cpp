#include "app/clipboard_rules.h"

#include "platform/paths.h"
#include "platform/text_file.h"

namespace app {

namespace {

constexpr std::string_view kFileScheme = "file://";

// Lines without their CR LF or LF ends.
std::vector<std::string> Lines(std::string_view text) {
  return platform::SplitLines(text);
}

}  // namespace

std::string FileUri(std::string_view path) {
  return std::string(kFileScheme) + platform::PercentEncode(path);
}

std::string PathOfUri(std::string_view uri) {
  if (!uri.starts_with(kFileScheme)) return {};
  uri.remove_prefix(kFileScheme.size());
  if (uri.starts_with("localhost/")) uri.remove_prefix(std::string_view("localhost").size());
  if (!uri.starts_with('/')) return {};
  std::optional<std::string> path = platform::PercentDecode(uri);
  // No file name holds a NUL.
  if (!path || path->find('\0') != std::string::npos) return {};
  return std::move(*path);
}

std::string EncodeUriList(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += FileUri(path) + "\r\n";
  return text;
}

std::vector<std::string> DecodeUriList(std::string_view text) {
  std::vector<std::string> paths;
  for (const std::string& line : Lines(text)) {
    if (line.empty() || line.front() == '#') continue;
    std::string path = PathOfUri(line);
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

std::string EncodeGnomeCopiedFiles(const CopiedFiles& files) {
  std::string text = files.cut ? "cut" : "copy";
  for (const std::string& path : files.paths) text += "\n" + FileUri(path);
  return text;
}

CopiedFiles DecodeGnomeCopiedFiles(std::string_view text) {
  CopiedFiles files;
  const std::vector<std::string> lines = Lines(text);
  if (lines.empty() || (lines.front() != "copy" && lines.front() != "cut")) return files;
  files.cut = lines.front() == "cut";
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string path = PathOfUri(lines[i]);
    if (!path.empty()) files.paths.push_back(std::move(path));
  }
  return files;
}

std::string KeepBothName(std::string_view name,
                         const std::function<bool(const std::string&)>& taken, bool folder) {
  std::size_t dot = folder ? std::string_view::npos : name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) dot = name.size();
  const std::string_view stem = name.substr(0, dot), extension = name.substr(dot);
  for (int n = 2;; ++n) {
    std::string candidate =
        std::string(stem) + " (" + std::to_string(n) + ")" + std::string(extension);
    if (!taken(candidate)) return candidate;
  }
}

}  // namespace app
