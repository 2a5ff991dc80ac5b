#include "platform/trash_info.h"

#include "platform/file_ops.h"

namespace platform {

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PercentEncode(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (unsigned char c : path) {
    if (Unreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::string TrashInfoText(const std::string& path, std::time_t when) {
  struct tm local {};
  localtime_r(&when, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + PercentEncode(path) + "\nDeletionDate=" + date + "\n";
}

std::optional<TrashInfo> ParseTrashInfo(std::string_view text) {
  std::optional<TrashInfo> info;
  bool in_group = false;
  bool has_path = false;
  for (std::string_view line : SplitLineViews(text)) {
    if (!line.empty() && line.front() == '[') {
      in_group = line == "[Trash Info]";
      if (in_group && !info) info = TrashInfo{};
      continue;
    }
    if (!in_group) continue;
    // The first value of a key counts, as in any desktop entry file.
    if (line.rfind("Path=", 0) == 0 && !has_path) {
      auto path = PercentDecode(line.substr(5));
      if (!path || path->empty()) return std::nullopt;
      info->path = std::move(*path);
      has_path = true;
    } else if (line.rfind("DeletionDate=", 0) == 0 && info->deletion_date.empty()) {
      info->deletion_date = std::string(line.substr(13));
    }
  }
  if (!info || !has_path) return std::nullopt;
  return info;
}

}  // namespace platform
