#include "app/clipboard_rules.h"

#include "platform/file_ops.h"

namespace app {

namespace {

constexpr std::string_view kFileScheme = "file://";

bool Unreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Lines without their CR LF or LF ends.
std::vector<std::string> Lines(std::string_view text) {
  return platform::SplitLines(text);
}

}  // namespace

std::string FileUri(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri(kFileScheme);
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c)) {
      uri += ch;
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 0xF];
    }
  }
  return uri;
}

std::string PathOfUri(std::string_view uri) {
  if (!uri.starts_with(kFileScheme)) return {};
  uri.remove_prefix(kFileScheme.size());
  if (uri.starts_with("localhost/")) uri.remove_prefix(std::string_view("localhost").size());
  if (!uri.starts_with('/')) return {};
  std::string path;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && HexValue(uri[i + 1]) >= 0 &&
        HexValue(uri[i + 2]) >= 0) {
      const char byte = static_cast<char>(HexValue(uri[i + 1]) * 16 + HexValue(uri[i + 2]));
      if (byte == '\0') return {};  // no file name holds a NUL
      path += byte;
      i += 2;
    } else {
      path += uri[i];
    }
  }
  return path;
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
                         const std::function<bool(const std::string&)>& taken) {
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) dot = name.size();
  const std::string_view stem = name.substr(0, dot), extension = name.substr(dot);
  for (int n = 2;; ++n) {
    std::string candidate =
        std::string(stem) + " (" + std::to_string(n) + ")" + std::string(extension);
    if (!taken(candidate)) return candidate;
  }
}

}  // namespace app
