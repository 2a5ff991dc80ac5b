#pragma once

// Files on the desktop clipboard and in drag and drop, in the formats other file managers use:
// text/uri-list (RFC 2483: one file:// URI a line, CR LF) and x-special/gnome-copied-files
// ("copy" or "cut", then one URI a line). And the name a pasted file takes beside one of the
// same name.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// "file://" and the path, every byte but letters, digits, "-._~/" percent-encoded.
std::string FileUri(std::string_view path);
// The local path of a file:// URI (host empty or "localhost"); empty for anything else.
std::string PathOfUri(std::string_view uri);

std::string EncodeUriList(const std::vector<std::string>& paths);
// The local paths of a URI list; comments, blank lines and other schemes are left out.
std::vector<std::string> DecodeUriList(std::string_view text);

struct CopiedFiles {
  bool cut = false;
  std::vector<std::string> paths;
};
std::string EncodeGnomeCopiedFiles(const CopiedFiles& files);
CopiedFiles DecodeGnomeCopiedFiles(std::string_view text);

// A free name for keeping both files: "report (2).txt", "report (3).txt", ... where the name
// before the extension gets the number; a folder's whole name gets it ("photos.2024 (2)").
// `taken` tells whether a name is in use.
std::string KeepBothName(std::string_view name,
                         const std::function<bool(const std::string&)>& taken, bool folder = false);

}  // namespace app
