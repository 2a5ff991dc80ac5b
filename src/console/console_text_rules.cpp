#include "console/console_text_rules.h"

#include <algorithm>

namespace console {

std::vector<std::size_t> WrapStarts(std::u16string_view line, std::size_t per_row) {
  per_row = std::max<std::size_t>(per_row, 1);
  std::vector<std::size_t> starts{0};
  std::size_t start = 0;
  while (line.size() - start > per_row) {
    // A space just past the row's end still lets the whole row stand.
    const std::size_t space = line.rfind(u' ', start + per_row);
    start = space != std::u16string_view::npos && space > start ? space + 1 : start + per_row;
    starts.push_back(start);
  }
  return starts;
}

void ConsoleText::Clear() {
  top_.clear();
  bottom_.clear();
}

void ConsoleText::SetLines(std::vector<std::string> lines) {
  top_.clear();
  bottom_ = std::move(lines);
}

const std::string& ConsoleText::Line(std::size_t i) const {
  if (i < top_.size()) return top_[top_.size() - 1 - i];
  return bottom_[i - top_.size()];
}

std::vector<std::string> ConsoleText::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(size());
  for (std::size_t i = 0; i < size(); ++i) lines.push_back(Line(i));
  return lines;
}

}  // namespace console
