#include "export/style_tree_rules.h"

#include <cstdio>

#include "platform/paths.h"
#include "platform/text_file.h"

namespace css {

namespace {

void WriteEntries(const StyleTree& entries, std::size_t level, std::string& out) {
  for (const StyleEntry& entry : entries) {
    out.append(level, '\t');
    out += entry.text;
    out += "\r\n";
    WriteEntries(entry.children, level + 1, out);
  }
}

}  // namespace

StyleTreeRead ReadStyleTree(std::string_view text) {
  StyleTreeRead result;
  // open[d] is the list that holds the last entry read at depth d. A list is only appended to
  // while no deeper list is open, so the pointers stay valid.
  std::vector<StyleTree*> open;
  std::size_t line_number = 0;
  for (std::string_view line : platform::SplitLineViews(text)) {
    ++line_number;
    const std::size_t level = line.find_first_not_of("\t ") == std::string_view::npos
                                  ? line.size()
                                  : line.find_first_not_of("\t ");
    StyleEntry entry{std::string(line.substr(level)), {}};
    if (open.empty()) {
      open.push_back(&result.tree);
    } else {
      const std::size_t depth = open.size() - 1;  // of the previous entry
      if (level == depth + 1) {
        open.push_back(&open.back()->back().children);
      } else if (level > depth + 1) {
        result.bad_line = line_number;
        result.bad_text = entry.text;
        result.bad_level = level;
        break;
      } else {
        open.resize(level + 1);
      }
    }
    open.back()->push_back(std::move(entry));
  }
  return result;
}

std::string WriteStyleTree(const StyleTree& tree) {
  std::string out;
  WriteEntries(tree, 0, out);
  return out;
}

std::string BuildDeclaration(const Declaration& d) {
  return "{BACKGROUND :" + d.background + "; COLOR : " + d.color +
         "; Font-Family : " + d.font_family + "; FONT-WEIGHT :" + d.font_weight +
         "; FONT-SIZE : " + d.font_size + "; TEXT-DECORATION :" + d.decoration + "}";
}

std::string ColorText(int red, int green, int blue) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", red & 0xFF, green & 0xFF, blue & 0xFF);
  return text;
}

bool IsDirectlyIn(std::string_view file, std::string_view dir) {
  const std::string parent = platform::DirName(file);
  return !parent.empty() && parent == dir;
}

}  // namespace css
