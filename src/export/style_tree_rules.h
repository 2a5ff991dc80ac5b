#pragma once

// Style files of the small CSS editor as plain functions: the tree of tags and declarations, how
// it is read from and written to a file, and how a declaration block is built.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace css {

// One entry of the tree: a tag name at the top, its declaration block below it.
struct StyleEntry {
  std::string text;
  std::vector<StyleEntry> children;
};
using StyleTree = std::vector<StyleEntry>;

struct StyleTreeRead {
  StyleTree tree;            // the entries read before any fault
  std::size_t bad_line = 0;  // 1-based number of the line that stopped the reading; 0: none
  std::string bad_text;      // that line's text
  std::size_t bad_level = 0;
};

// Reads a style file: each line's level is its number of leading TAB and space characters, its
// text the rest. The first line is a top-level entry whatever its level; a later line at the
// previous entry's level is its next sibling, one level deeper its last child, at a lower level
// the next sibling of its ancestor at that level. A line more than one level deeper than the
// previous entry stops the reading there.
StyleTreeRead ReadStyleTree(std::string_view text);

// The tree in depth-first order, one line per entry: a TAB per level below the top, the text
// and CR LF.
std::string WriteStyleTree(const StyleTree& tree);

// The fields of the editor's declaration panel.
struct Declaration {
  std::string background;
  std::string color;
  std::string font_family;
  std::string font_weight;
  std::string font_size;
  std::string decoration;
};

// The declaration block, spaced exactly as style files written by this editor have always been.
std::string BuildDeclaration(const Declaration& d);

// "#RRGGBB" with upper-case hexadecimal digits.
std::string ColorText(int red, int green, int blue);

// True when `file` lies directly in `dir` (which ends in the delimiter), compared exactly.
bool IsDirectlyIn(std::string_view file, std::string_view dir);

}  // namespace css
