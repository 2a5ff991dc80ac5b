#pragma once

// The console text: lines printed on top (the newest first) and lines added at the bottom.
// Both ends grow in constant time, however long the text has become.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Where each screen row of a long line starts when rows hold at most `per_row` characters:
// 0 first, then after the last space that fits, so words stay whole. Only a word longer than
// a row is cut, at the row's end. The space a row ends at stays on that row.
std::vector<std::size_t> WrapStarts(std::u16string_view line, std::size_t per_row);

class ConsoleText {
 public:
  // Puts a line above all others.
  void PrintLine(std::string line) { top_.push_back(std::move(line)); }
  // Puts a line below all others.
  void AppendLine(std::string line) { bottom_.push_back(std::move(line)); }
  void Clear();
  // Replaces the whole text, top line first.
  void SetLines(std::vector<std::string> lines);

  std::size_t size() const { return top_.size() + bottom_.size(); }
  // Line i counted from the top (0 is the top line).
  const std::string& Line(std::size_t i) const;
  // Every line, top first.
  std::vector<std::string> Lines() const;

 private:
  std::vector<std::string> top_;     // in printing order: the last one is the top line
  std::vector<std::string> bottom_;  // in file order below the printed lines
};

}  // namespace console
