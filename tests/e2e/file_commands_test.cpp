// Commands that list, read, save and copy files, checked on disk and on standard output.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/batch_run.h"

using Lines = std::vector<std::string>;

namespace {

const std::string kHints =
    "> Hint:  Type \"help()\" to see console help\r\n"
    "> Hint: Press F3 to view all avable commands\r\n";

// The names of cn_listing lines ("name; Size: n; Date: d"), checking the shape of each line.
std::multiset<std::string> ListedNames(const Lines& lines) {
  std::multiset<std::string> names;
  for (const auto& line : lines) {
    const size_t size_at = line.find("; Size: ");
    const size_t date_at = line.find("; Date: ");
    EXPECT_NE(size_at, std::string::npos) << line;
    EXPECT_LT(size_at, date_at) << line;
    EXPECT_GT(line.size(), date_at + 8) << "no date in: " << line;
    names.insert(line.substr(0, size_at));
  }
  return names;
}

bool Contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(FileCommands, ScanDirectory) {
  ProgramDir prog;
  const std::string work = prog.MakeDir("work");
  const std::string missing = prog.Slash() + "missing/";
  const std::string work_bare = work.substr(0, work.size() - 1);
  prog.Write("work/file.txt", "x");
  BatchResult r = prog.RunScript(BwScript({
      "bw_scan_dir(" + missing + ")",  // the search line keeps the program directory
      "cn_print($DIR)",
      "bw_scan_dir(" + work + ")",
      "cn_print($DIR)",
      "bw_scan_dir(" + prog.Slash() + ")",
      "bw_scan_dir(" + work_bare + ")",  // the tree completes the delimiter
      "cn_print($DIR)",
      "bw_scan_dir(" + work + "file.txt)",  // a file is no directory
      "cn_print($DIR)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines,
            (Lines{"Scanning \"" + missing + "\"", "> Directory \"" + missing + "\" does not exust",
                   "> " + prog.Slash(), prog.Slash(), "Scanning \"" + work + "\"", "> OK",
                   "> " + work, work, "Scanning \"" + prog.Slash() + "\"", "> OK",
                   "> " + prog.Slash(), "Scanning \"" + work_bare + "\"", "> OK", "> " + work, work,
                   "Scanning \"" + work + "file.txt\"",
                   "> Directory \"" + work + "file.txt\" does not exust", "> " + work, work}));
  EXPECT_NE(prog.Read("config.ini").find("LastDir=" + work), std::string::npos);
}

TEST(FileCommands, MaskAndListing) {
  ProgramDir prog;
  const std::string work = prog.MakeDir("work");
  prog.MakeDir("work/Docs");
  prog.Write("work/a.txt", "abc");
  prog.Write("work/b.dat", "bb");
  prog.Write("work/.hidden", "h");
  prog.Write("work-notes.txt", "sibling");  // found by a prefix without the delimiter
  const std::string work_bare = work.substr(0, work.size() - 1);
  BatchResult r = prog.RunScript(BwScript({
      "bw_scan_dir(" + work + ")",
      "cn_print(--all)",
      "cn_listing($DIR)",
      "bw_mask(*.txt)",
      "cn_print(--txt)",
      "cn_listing($DIR)",
      "cn_print(--bare)",
      "cn_listing(" + work_bare + ")",
      "cn_print(--missing)",
      "cn_listing(" + work + "missing/)",
      "cn_print(--end)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  const Lines& out = r.out_lines;
  auto at = [&](const std::string& line) { return std::find(out.begin(), out.end(), line); };
  ASSERT_NE(at("--end"), out.end());

  // Everything, "." and ".." and hidden entries included, in the file system's order.
  const Lines all(at("--all") + 1, std::find(at("--all"), out.end(), "> " + work));
  EXPECT_EQ(ListedNames(all),
            (std::multiset<std::string>{".", "..", "Docs", "a.txt", "b.dat", ".hidden"}));
  EXPECT_TRUE(std::any_of(all.begin(), all.end(),
                          [](const std::string& l) { return l.starts_with("a.txt; Size: 3; "); }));
  EXPECT_TRUE(std::any_of(all.begin(), all.end(),
                          [](const std::string& l) { return l.starts_with("b.dat; Size: 2; "); }));

  // The mask rescans and reports after the listing line of the scan.
  const auto mask_report = at("> Mask: *.txt");
  ASSERT_NE(mask_report, out.end());
  EXPECT_EQ(*(mask_report - 1), "> " + work);
  EXPECT_EQ(Lines(at("--txt") + 1, at("--bare")).size(), 1u);
  EXPECT_TRUE((at("--txt") + 1)->starts_with("a.txt; Size: 3; Date: "));
  EXPECT_EQ(ListedNames(Lines(at("--bare") + 1, at("--missing"))),
            std::multiset<std::string>{"work-notes.txt"});
  EXPECT_EQ(at("--missing") + 1, at("--end"));
}

// Appended file lines come out in file order; the saved text is the console, newest first,
// with CR LF line ends and without the "Saved" line itself.
TEST(FileCommands, ReadAndSaveConsoleText) {
  ProgramDir prog;
  const std::string work = prog.MakeDir("work");
  prog.Write("work/t.txt", "one\r\ntwo\r\n\r\nthree");
  const std::string saved = work + "saved.txt";
  BatchResult r = prog.RunScript(BwScript({
      "cn_print(A)",
      "cn_print(B)",
      "cn_read_txtfile(" + work + "t.txt)",
      "cn_print(C)",
      "cn_read_txtfile(" + work + "missing.txt)",
      "cn_save_data(" + saved + ")",
      "cn_read_txtfile(" + saved + ")",
      "cn_save_data()",
      "cn_print(end)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string saved_text =
      "> Error: ???\r\nC\r\nB\r\nA\r\n" + kHints + "one\r\ntwo\r\n\r\nthree\r\n";
  EXPECT_EQ(prog.Read("work/saved.txt"), saved_text);
  EXPECT_EQ(r.out_lines, (Lines{"A",
                                "B",
                                "one",
                                "two",
                                "",
                                "three",
                                "C",
                                "> Error: ???",
                                "> Saved: " + saved,
                                "> Error: ???",
                                "C",
                                "B",
                                "A",
                                "> Hint:  Type \"help()\" to see console help",
                                "> Hint: Press F3 to view all avable commands",
                                "one",
                                "two",
                                "",
                                "three",
                                "> Error: Can't save file to nowhere",
                                "end"}));

  // An existing file is replaced; a relative name lands in the listed directory; the line
  // break variable is saved as written (LF CR) inside its line.
  r = prog.RunScript(BwScript(
      {"bw_scan_dir(" + work + ")", "cn_clear()", "cn_print(a{n}b)", "cn_save_data(saved.txt)"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines.back(), "> Saved: saved.txt");
  EXPECT_EQ(prog.Read("work/saved.txt"), "a\n\rb\r\n");

  // A directory cannot be read as text; NUL bytes inside a line stay in it.
  prog.Write("work/nul.txt", std::string("a\0b\r\nc", 6));
  r = prog.RunScript(
      BwScript({"cn_read_txtfile(" + work + ")", "cn_read_txtfile(" + work + "nul.txt)",
                "cn_read_txtfile()", "cn_print(end)"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines,
            (Lines{"> Error: ???", std::string("a\0b", 3), "c", "> Error: ???", "end"}));

  // A file that cannot be written is an error report; nothing claims it was saved.
  r = prog.RunScript(
      BwScript({"cn_print(x)", "cn_save_data(" + work + "no/such/dir.txt)", "cn_print(y)"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out_lines, Lines{"x"});
  EXPECT_NE(r.err.find("Error: "), std::string::npos) << r.err;
  EXPECT_FALSE(prog.Exists("work/no"));
}

// bw_copy copies every listed file and never replaces one; bw_rename never replaces either.
TEST(FileCommands, CopyAndRenameNeverReplace) {
  ProgramDir prog;
  const std::string src = prog.MakeDir("src");
  const std::string dst = prog.MakeDir("dst");
  const std::string dst_txt = prog.MakeDir("dst_txt");
  prog.MakeDir("src/Docs");
  prog.Write("src/a.txt", "new a");
  prog.Write("src/b.dat", "bb");
  prog.Write("src/c.txt", "cc");
  prog.Write("dst/a.txt", "old a");
  prog.Write("src/target.txt", "keep me");

  BatchResult r = prog.RunScript(BwScript({
      "bw_scan_dir(" + src + ")",
      "bw_copy(" + dst + ")",
      "cn_print(--again)",
      "bw_copy(" + dst + ")",
      "bw_mask(*.txt)",
      "bw_copy(" + dst_txt + ")",
      "bw_rename(target.txt)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  const auto again = std::find(r.out_lines.begin(), r.out_lines.end(), "--again");
  ASSERT_NE(again, r.out_lines.end());
  EXPECT_EQ(std::count(r.out_lines.begin(), again, "> Copyed..."), 3);  // b.dat, c.txt, target
  const auto mask = std::find(again, r.out_lines.end(), "> Mask: *.txt");
  ASSERT_NE(mask, r.out_lines.end());
  EXPECT_EQ(std::count(again, mask, "> Copyed..."), 0);
  EXPECT_EQ(std::count(mask, r.out_lines.end(), "> Copyed..."), 3);  // a.txt, c.txt, target
  EXPECT_EQ(r.out_lines.back(), "> File can not be renamed for some reson");

  EXPECT_EQ(prog.Read("dst/a.txt"), "old a");
  EXPECT_EQ(prog.Read("dst/b.dat"), "bb");
  EXPECT_EQ(prog.Read("dst/c.txt"), "cc");
  EXPECT_FALSE(prog.Exists("dst/Docs"));
  EXPECT_EQ(prog.Read("dst_txt/a.txt"), "new a");
  EXPECT_FALSE(prog.Exists("dst_txt/b.dat"));
  EXPECT_EQ(prog.Read("src/target.txt"), "keep me");
  EXPECT_EQ(prog.Read("src/a.txt"), "new a");
}

// File names are bytes: a Latin-1 name is listed, copied and printed unchanged.
TEST(FileCommands, NonUtf8NamesSurviveAsBytes) {
  ProgramDir prog;
  const std::string name = "caf\xe9.txt";
  const std::string src = prog.MakeDir("src");
  const std::string dst = prog.MakeDir("d\xe9j\xe0");
  prog.Write("src/" + name, "latin");
  BatchResult r = prog.RunScript(BwScript({
      "bw_scan_dir(" + src + ")",
      "cn_listing($DIR)",
      "bw_copy(" + dst + ")",
      "bw_scan_dir(" + dst + ")",
      "cn_print($DIR)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::any_of(r.out_lines.begin(), r.out_lines.end(), [&](const std::string& l) {
    return l.starts_with(name + "; Size: 5; Date: ");
  }));
  EXPECT_TRUE(Contains(r.out_lines, "> Copyed..."));
  EXPECT_EQ(prog.Read("d\xe9j\xe0/" + name), "latin");
  EXPECT_EQ(r.out_lines.back(), dst);
}
