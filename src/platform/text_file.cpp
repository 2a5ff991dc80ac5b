#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/fault_plan.h"
#include "platform/unique_fd.h"

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* why,
                                         std::int64_t limit) {
  auto fail = [&](const std::string& reason) -> std::optional<std::string> {
    if (why != nullptr) *why = reason;
    return std::nullopt;
  };
  const std::string quoted = "\"" + path + "\"";
  // O_NONBLOCK keeps a named pipe from holding the caller; only regular files are read.
  Fd fd(faults::Open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.ok()) return fail("Cannot open file " + quoted + ": " + std::strerror(errno));
  struct stat st;
  if (fstat(fd.get(), &st) != 0) return fail("Cannot read file " + quoted);
  if (!S_ISREG(st.st_mode)) return fail("Cannot read " + quoted + ": it is not a regular file");
  const std::string too_large =
      "Cannot read file " + quoted + ": it is larger than " + std::to_string(limit >> 20) + " MB";
  if (st.st_size > limit) return fail(too_large);
  std::string data;
  // One byte more than the file holds lets the first read hit the end without growing.
  data.resize(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 4096);
  std::size_t used = 0;
  for (;;) {
    // A file that grows while it is read (or reports no size, as under /proc) is held to the
    // same limit.
    if (used > static_cast<std::size_t>(limit)) return fail(too_large);
    if (used == data.size()) data.resize(used + 65536);
    ssize_t n = faults::Read(fd.get(), data.data() + used, data.size() - used);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("Cannot read file " + quoted + ": " + std::strerror(errno));
    }
    used += static_cast<std::size_t>(n);
  }
  data.resize(used);
  return data;
}

std::string ReadWholeFileOrThrow(const std::string& path) {
  std::string why;
  std::optional<std::string> text = ReadWholeFile(path, &why);
  if (!text) throw std::runtime_error(why);
  return std::move(*text);
}

std::vector<std::string_view> SplitLineViews(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  const std::size_t size = text.size();
  while (start < size) {
    std::size_t end = start;
    while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
    lines.push_back(text.substr(start, end - start));
    if (end == size) break;
    start = end + ((text[end] == '\r' && end + 1 < size && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::vector<std::string> SplitLines(std::string_view text) {
  const std::vector<std::string_view> views = SplitLineViews(text);
  return std::vector<std::string>(views.begin(), views.end());
}

std::string JoinLinesCrlf(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace platform
