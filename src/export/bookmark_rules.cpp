#include "export/bookmark_rules.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/text_file.h"

namespace bookmarks {
std::vector<std::string> Parse(std::string_view text) {
  return platform::SplitLines(text);
}

std::string Serialize(const std::vector<std::string>& list) {
  return platform::JoinLinesCrlf(list);
}

int FindExact(const std::vector<std::string>& list, std::string_view text) {
  const auto it = std::find(list.begin(), list.end(), text);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

int FindContaining(const std::vector<std::string>& list, std::string_view text) {
  if (text.empty()) return -1;
  const auto it = std::find_if(list.begin(), list.end(), [text](const std::string& entry) {
    return entry.find(text) != std::string::npos;
  });
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

bool SortsBefore(std::string_view a, std::string_view b) {
  if (platform::LessIgnoreCase(a, b)) return true;
  return !platform::LessIgnoreCase(b, a) && a < b;
}

void Sort(std::vector<std::string>& list) {
  std::sort(list.begin(), list.end(), SortsBefore);
}

int SortedPosition(const std::vector<std::string>& list, std::string_view text) {
  const auto it =
      std::upper_bound(list.begin(), list.end(), text,
                       [](std::string_view t, const std::string& e) { return SortsBefore(t, e); });
  return static_cast<int>(it - list.begin());
}

}  // namespace bookmarks
