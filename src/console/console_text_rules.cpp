#include "console/console_text_rules.h"

namespace console {

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
