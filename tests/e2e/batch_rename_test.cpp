// bt_start in batch mode: the numbering run on real files, its console lines and the journal.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/batch_run.h"

namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(BatchRename, StartNumbersTheSelectionAndNeverReplacesAFile) {
  ProgramDir prog;
  const std::string work = prog.MakeDir("rename");
  prog.Write("rename/a.txt", "A");
  prog.Write("rename/b.txt", "B");
  BatchResult r = prog.RunScript(BwScript({
      "bw_scan_dir(" + work + ")",
      "bw_sel_all()",
      "bt_start(same)",
  }));
  ASSERT_EQ(r.status, 0) << r.err;
  // The main list holds "../" and the two files; the first file takes the name, the second
  // finds it taken and keeps its own.
  EXPECT_TRUE(Contains(r.out_lines, "Starting renaming..."));
  EXPECT_TRUE(Contains(r.out_lines, "> Error: \"../\" is not renamed"));
  EXPECT_EQ(std::count(r.out_lines.begin(), r.out_lines.end(), "> Error: file allredy exist!"), 1);
  const bool a_first = Contains(r.out_lines, "Renaming: \"a.txt\" -> \"same");
  EXPECT_NE(a_first, Contains(r.out_lines, "Renaming: \"b.txt\" -> \"same"));
  EXPECT_EQ(prog.Read("rename/same"), a_first ? "A" : "B");
  EXPECT_EQ(prog.Read(a_first ? "rename/b.txt" : "rename/a.txt"), a_first ? "B" : "A");
  // The closing message goes to standard error in batch mode.
  EXPECT_FALSE(r.err.empty());
  // The rename is in the journal beside the program.
  const std::string journal = prog.Read("renames.bw");
  EXPECT_EQ(journal.rfind("RUN3\t", 0), 0u) << journal;
  EXPECT_NE(journal.find("\t" + work + "same\r\n"), std::string::npos) << journal;
  // Its marks and the run's end follow, the end last.
  EXPECT_NE(journal.find("DONE\t"), std::string::npos) << journal;
  const std::size_t last_line = journal.rfind("\r\n", journal.size() - 3) + 2;
  EXPECT_EQ(journal.compare(last_line, 4, "END\t"), 0) << journal;
}

TEST(BatchRename, SecondStartWorksOnTheFirstRunsNewNamesToo) {
  ProgramDir prog;
  const std::string work = prog.MakeDir("rename");
  prog.Write("rename/only", "1");
  BatchResult r = prog.RunScript(BwScript({
      "bw_scan_dir(" + work + ")",
      "bw_sel_all()",
      "bt_start(first$NUM)",
      "bt_start(second$NUM)",
  }));
  ASSERT_EQ(r.status, 0) << r.err;
  // The rescan after the first run leaves nothing selected, so the second run has the first
  // run's two entries: "../" at 0 and first1 at 1.
  EXPECT_TRUE(Contains(r.out_lines, "Renaming: \"only\" -> \"first1"));
  EXPECT_TRUE(Contains(r.out_lines, "Renaming: \"first1\" -> \"second1"));
  EXPECT_EQ(prog.Read("rename/second1"), "1");
}

}  // namespace
