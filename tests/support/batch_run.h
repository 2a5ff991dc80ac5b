#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

// What one batch run of the program left behind.
struct BatchResult {
  int status = -1;  // exit status; 128 + signal number when the program was killed by a signal
  std::vector<std::string> out_lines;  // standard output split at LF, line ends removed
  std::string err;                     // standard error as written
};

// A throwaway program directory: a copy of the built program with its data files beside it, so
// that each test has its own config.ini, defvars.txt, bmks.bw and language files.
class ProgramDir {
 public:
  ProgramDir();

  // The directory, resolved (no symbolic links), without a final delimiter.
  const std::string& Path() const { return path_; }
  // The directory followed by "/", as the program writes $EXE and $DIR.
  std::string Slash() const { return path_ + "/"; }

  // Creates or replaces a file below the directory; returns its full path.
  std::string Write(std::string_view relative, std::string_view contents) const;
  // Creates a directory below the directory; returns its full path followed by "/".
  std::string MakeDir(std::string_view relative) const;
  void Remove(std::string_view relative) const;
  // The file's bytes, or "<missing>" when it cannot be read.
  std::string Read(std::string_view relative) const;
  bool Exists(std::string_view relative) const;

  // Runs `<dir>/brackwell -NOLOGO <batch_switch> <script>` in `cwd` (default: the program
  // directory), feeding `input` on standard input.
  BatchResult Run(const std::string& script, std::string_view input = {},
                  const std::string& cwd = {}, const std::string& batch_switch = "-BATCH") const;
  // Writes `script_text` to "test.bws" in the program directory and runs it by its full path.
  BatchResult RunScript(std::string_view script_text, std::string_view input = {}) const;

 private:
  TempDir dir_;
  std::string path_;
};

// A script file text: the header, the given body lines and "END;", each ended by CR LF.
std::string BwScript(std::initializer_list<std::string_view> body);
