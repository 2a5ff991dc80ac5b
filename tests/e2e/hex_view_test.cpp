// bw_view_hex in batch mode: the viewer's console lines on standard output.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/batch_run.h"

using Lines = std::vector<std::string>;

TEST(HexView, ConsoleLinesOfALoadAndOfAMissingFile) {
  ProgramDir prog;
  prog.Write("defvars.txt", "");
  const std::string file = prog.Write("data.bin", std::string(2048, 'x'));
  const std::string missing = prog.Slash() + "missing.bin";
  const BatchResult r = prog.RunScript(BwScript({
      "bw_view_hex(" + file + ")",
      "bw_view_hex(" + missing + ")",
      "cn_print(done)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  const Lines expected = {"Starting HEX engine...",
                          "Opening \"" + file + "\"",
                          "Loading hex data...",
                          "Size: 2048 bytes..",
                          "> OK",
                          "Starting HEX engine...",
                          "> Error: " + missing + " No such file or not file at all",
                          "done"};
  ASSERT_GE(r.out_lines.size(), expected.size());
  EXPECT_EQ(Lines(r.out_lines.end() - expected.size(), r.out_lines.end()), expected);
  // The missing file's message box goes to standard error in batch mode.
  EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
}
