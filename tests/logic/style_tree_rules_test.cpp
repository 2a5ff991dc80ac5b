// Style files of the small CSS editor: reading levels, writing them back, the declaration block.

#include <gtest/gtest.h>

#include <string>

#include "export/style_tree_rules.h"

namespace {

using css::StyleEntry;
using css::StyleTree;

// The tree as one line per entry, "depth:text", in depth-first order.
std::string Outline(const StyleTree& tree, int depth = 0) {
  std::string out;
  for (const StyleEntry& e : tree) {
    out += std::to_string(depth) + ":" + e.text + "|";
    out += Outline(e.children, depth + 1);
  }
  return out;
}

TEST(StyleTree, ReadsLevelsFromLeadingTabsAndSpaces) {
  const struct {
    const char* file;
    const char* outline;
  } cases[] = {
      {"", ""},
      {"BODY\r\n", "0:BODY|"},
      {"BODY\r\n\t{COLOR : red}\r\nA:HOVER\r\n\t{}\r\n", "0:BODY|1:{COLOR : red}|0:A:HOVER|1:{}|"},
      {"A\n B\n  C\n   D\nE", "0:A|1:B|2:C|3:D|0:E|"},  // spaces count like TABs
      {"A\n\tB\n\t\tC\n\tD\n", "0:A|1:B|2:C|1:D|"},     // back up one level
      {"\t\tFIRST\r\nNEXT\r\n", "0:FIRST|0:NEXT|"},     // first line: top, any level
      {"A\r\n \r\n", "0:A|1:|"},                        // blank text one level down
      {"A\r\n\tB\r\n\t \r\n", "0:A|1:B|2:|"},           // TAB and space: two levels
      {"A\r\rB\r", "0:A|0:|0:B|"},                      // CR line ends, empty line
  };
  for (const auto& c : cases) {
    const css::StyleTreeRead read = css::ReadStyleTree(c.file);
    EXPECT_EQ(Outline(read.tree), c.outline) << c.file;
    EXPECT_EQ(read.bad_line, 0u) << c.file;
  }
}

TEST(StyleTree, ALineTwoLevelsDeeperStopsTheReading) {
  // A declaration left as one space, saved under its tag, reads back two levels down.
  css::StyleTreeRead read = css::ReadStyleTree(css::WriteStyleTree({{"P", {{" ", {}}}}}));
  EXPECT_EQ(read.bad_line, 2u);
  EXPECT_EQ(Outline(read.tree), "0:P|");

  read = css::ReadStyleTree("BODY\r\n\t{X}\r\nP\r\n\t\t{Y}\r\nLATER\r\n");
  EXPECT_EQ(read.bad_line, 4u);
  EXPECT_EQ(read.bad_text, "{Y}");
  EXPECT_EQ(read.bad_level, 2u);
  EXPECT_EQ(Outline(read.tree), "0:BODY|1:{X}|0:P|");  // what came before stays
}

TEST(StyleTree, WritesDepthFirstWithTabIndents) {
  StyleTree tree = {{"BODY", {}}};
  EXPECT_EQ(css::WriteStyleTree(tree), "BODY\r\n");
  EXPECT_EQ(css::WriteStyleTree({}), "");

  tree = {{"A:HOVER", {{"{X}", {{"", {}}}}, {" ", {}}}}, {"P", {}}};
  const std::string file = css::WriteStyleTree(tree);
  EXPECT_EQ(file, "A:HOVER\r\n\t{X}\r\n\t\t\r\n\t \r\nP\r\n");
  // Round trip: the extra one-space child reads back two levels deep, below the declaration,
  // with an empty text, and writes the same again.
  const css::StyleTreeRead read =
      css::ReadStyleTree(css::WriteStyleTree({{"A:HOVER", {{"{X}", {}}, {" ", {}}}}}));
  EXPECT_EQ(read.bad_line, 0u);
  EXPECT_EQ(Outline(read.tree), "0:A:HOVER|1:{X}|2:|");
  EXPECT_EQ(Outline(css::ReadStyleTree(file).tree), "0:A:HOVER|1:{X}|2:|2:|0:P|");
}

TEST(Declaration, BuiltWithItsOwnSpacing) {
  css::Declaration d{"#000000", "#FFFFFF", "Arial", "Regular", "10pt", "none"};
  EXPECT_EQ(css::BuildDeclaration(d),
            "{BACKGROUND :#000000; COLOR : #FFFFFF; Font-Family : Arial; FONT-WEIGHT :Regular; "
            "FONT-SIZE : 10pt; TEXT-DECORATION :none}");
  EXPECT_EQ(css::BuildDeclaration({}),
            "{BACKGROUND :; COLOR : ; Font-Family : ; FONT-WEIGHT :; FONT-SIZE : ; "
            "TEXT-DECORATION :}");
}

TEST(Declaration, ColoursAndFolders) {
  EXPECT_EQ(css::ColorText(255, 0, 0), "#FF0000");
  EXPECT_EQ(css::ColorText(10, 171, 205), "#0AABCD");
  EXPECT_EQ(css::ColorText(0, 0, 0), "#000000");

  EXPECT_TRUE(css::IsDirectlyIn("/opt/bw/FL/dark.css", "/opt/bw/FL/"));
  EXPECT_FALSE(css::IsDirectlyIn("/opt/bw/FL/sub/dark.css", "/opt/bw/FL/"));
  EXPECT_FALSE(css::IsDirectlyIn("/opt/bw/fl/dark.css", "/opt/bw/FL/"));
  EXPECT_FALSE(css::IsDirectlyIn("/opt/bw/FL/../FL/dark.css", "/opt/bw/FL/"));
  EXPECT_FALSE(css::IsDirectlyIn("dark.css", "/opt/bw/FL/"));
}

}  // namespace
