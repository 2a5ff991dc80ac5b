// Files on the clipboard in the formats other file managers use, and the "keep both" name.

#include <gtest/gtest.h>

#include <set>

#include "app/clipboard_rules.h"

namespace {

TEST(UriList, EncodesAndDecodesLocalFiles) {
  const struct {
    const char* path;
    const char* uri;
  } cases[] = {
      {"/home/ann/a.txt", "file:///home/ann/a.txt"},
      {"/tmp/with space#1%.txt", "file:///tmp/with%20space%231%25.txt"},
      {"/tmp/\xD1\x8F", "file:///tmp/%D1%8F"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::FileUri(c.path), c.uri);
    EXPECT_EQ(app::PathOfUri(c.uri), c.path);
  }
  EXPECT_EQ(app::EncodeUriList({"/a", "/b c"}), "file:///a\r\nfile:///b%20c\r\n");
  // What other programs put there: comments, a host, other schemes, bare LF line ends.
  EXPECT_EQ(app::DecodeUriList("# comment\r\nfile://localhost/x/y\nhttp://host/z\r\n\r\n"
                               "file:///w%2Fv\nfile://otherhost/q\nfile:///nul%00\n"),
            (std::vector<std::string>{"/x/y", "/w/v"}));
}

TEST(GnomeCopiedFiles, CarriesCopyOrCut) {
  const app::CopiedFiles cut{true, {"/a/b.txt", "/a/c d"}};
  EXPECT_EQ(app::EncodeGnomeCopiedFiles(cut), "cut\nfile:///a/b.txt\nfile:///a/c%20d");
  const app::CopiedFiles read = app::DecodeGnomeCopiedFiles(app::EncodeGnomeCopiedFiles(cut));
  EXPECT_TRUE(read.cut);
  EXPECT_EQ(read.paths, cut.paths);
  EXPECT_FALSE(app::DecodeGnomeCopiedFiles("copy\nfile:///x").cut);
  EXPECT_TRUE(app::DecodeGnomeCopiedFiles("move\nfile:///x").paths.empty());
}

TEST(KeepBothName, NumbersThePartBeforeTheExtension) {
  const std::set<std::string> taken = {"report.txt", "report (2).txt", ".bashrc", "notes"};
  const auto in_use = [&](const std::string& name) { return taken.count(name) > 0; };
  EXPECT_EQ(app::KeepBothName("report.txt", in_use), "report (3).txt");
  EXPECT_EQ(app::KeepBothName(".bashrc", in_use), ".bashrc (2)");
  EXPECT_EQ(app::KeepBothName("notes", in_use), "notes (2)");
  EXPECT_EQ(app::KeepBothName("a.tar.gz", in_use), "a.tar (2).gz");
  EXPECT_EQ(app::KeepBothName("photos.2024", in_use, true), "photos.2024 (2)");
}

}  // namespace
