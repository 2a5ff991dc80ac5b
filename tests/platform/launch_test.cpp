#include "platform/launch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/test_helpers.h"
#include "platform/text_file.h"
#include "support/temp_dir.h"

using namespace platform;
using platform_test::WaitForFile;

namespace {

// Sets PATH for the lifetime of the object.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& value) {
    const char* old = std::getenv("PATH");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("PATH", value.c_str(), 1);
  }
  ~ScopedPath() {
    if (had_) {
      setenv("PATH", old_.c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }

 private:
  bool had_ = false;
  std::string old_;
};

// A script that records its working directory and arguments, one per line, in `marker`.
std::string RecorderScript(const TempDir& dir, const std::string& name, const std::string& marker) {
  std::string path =
      dir.CreateFile(name,
                     "#!/bin/sh\n"
                     "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
                         marker + ".part' && /bin/mv '" + marker + ".part' '" + marker + "'\n");
  chmod(path.c_str(), 0755);
  return path;
}

std::string MakeExecutable(const TempDir& dir, const std::string& name) {
  std::string path = dir.CreateFile(name, "#!/bin/sh\nexit 0\n");
  chmod(path.c_str(), 0755);
  return path;
}

TEST(Launch, SplitCommandLine) {
  using Words = std::vector<std::string>;
  struct Case {
    const char* line;
    Words words;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"prog", {"prog"}},
      {"  prog   a\tb  ", {"prog", "a", "b"}},
      {"\"/opt/my app/run\" \"two words\" x", {"/opt/my app/run", "two words", "x"}},
      {"a\"b c\"d", {"ab cd"}},
      {"prog \"\" end", {"prog", "", "end"}},
      {"prog \"unclosed quote", {"prog", "unclosed quote"}},
      {"echo $HOME ~ *.txt 'single'", {"echo", "$HOME", "~", "*.txt", "'single'"}},
      {"a;b|c", {"a;b|c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(Launch, MissingProgramsAndPaths) {
  TempDir dir;
  std::string plain = dir.CreateFile("plain.txt", "not a program");
  std::string no_shebang = dir.CreateFile("noshebang", "\x7f garbage");
  chmod(no_shebang.c_str(), 0755);
  {
    ScopedPath path(dir.Path());
    EXPECT_EQ(StartCommandLine("bw-no-such-program-xyz"), kStartNotFound);
    EXPECT_EQ(ShellOpen("bw-no-such-program-xyz"), kStartNotFound);
    // A file of that name in the working directory is not taken for the program.
    EXPECT_EQ(StartCommandLine("plain.txt"), kStartNotFound);
  }
  EXPECT_EQ(StartCommandLine(""), kStartNotFound);
  EXPECT_EQ(StartCommandLine(dir.Slash() + "missing"), kStartNotFound);
  EXPECT_EQ(StartCommandLine(dir.Slash() + "no/such/dir/prog"), kStartPathNotFound);
  EXPECT_EQ(StartCommandLine(plain + "/below"), kStartPathNotFound);
  EXPECT_EQ(StartCommandLine(plain), kStartBadFormat);
  EXPECT_EQ(StartCommandLine(no_shebang), kStartBadFormat);
  EXPECT_EQ(StartCommandLine(dir.Path()), kStartBadFormat);
  EXPECT_EQ(ShellOpen(""), kStartNotFound);
  EXPECT_EQ(ShellOpen(dir.Slash() + "missing.txt"), kStartNotFound);
  EXPECT_EQ(ShellOpen(dir.Slash() + "no/such/dir/file.txt"), kStartPathNotFound);
  EXPECT_EQ(OpenDocument(dir.Slash() + "missing.txt"), kStartNotFound);
  EXPECT_EQ(OpenDocument(dir.Slash() + "no/such/dir/"), kStartPathNotFound);
}

TEST(Launch, StartsDetachedInTheWorkingDirectoryWithoutAShell) {
  TempDir dir;
  std::string marker = dir.Slash() + "marker";
  std::string script = RecorderScript(dir, "my prog", marker);
  std::string work = dir.CreateDir("work");
  std::string touched = dir.Slash() + "touched";

  std::string before = WorkingDir();
  ASSERT_TRUE(SetWorkingDir(work));
  int result = StartCommandLine("\"" + script + "\" \"$(touch " + touched + ")\" ; touch " +
                                touched + "2 `touch " + touched + "3` | && > out");
  ASSERT_TRUE(SetWorkingDir(before));
  EXPECT_GT(result, 32);
  ASSERT_TRUE(WaitForFile(marker));
  EXPECT_EQ(ReadWholeFile(marker).value_or(""), work + "\n$(touch " + touched + ")\n;\ntouch\n" +
                                                    touched + "2\n`touch\n" + touched +
                                                    "3`\n|\n&&\n>\nout\n");
  EXPECT_FALSE(dir.Exists("touched"));
  EXPECT_FALSE(dir.Exists("touched2"));
  EXPECT_FALSE(dir.Exists("touched3"));
  EXPECT_FALSE(dir.Exists("work/out"));
  // The started program is no child of ours: nothing is left to reap.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(Launch, ShellOpenStartsNamedExecutablesAndProgramsFromPath) {
  TempDir dir;
  std::string marker = dir.Slash() + "direct";
  std::string script = RecorderScript(dir, "direct.sh", marker);
  EXPECT_GT(ShellOpen(script), 32);
  ASSERT_TRUE(WaitForFile(marker));
  // Started in our working directory with no arguments.
  std::string cwd = WorkingDir();
  if (cwd.size() > 1) cwd.pop_back();
  EXPECT_EQ(ReadWholeFile(marker).value_or(""), cwd + "\n");

  TempDir bin;
  std::string from_path = dir.Slash() + "from_path";
  RecorderScript(bin, "bw-test-prog", from_path);
  ScopedPath path(bin.Path());
  EXPECT_GT(ShellOpen("bw-test-prog"), 32);
  ASSERT_TRUE(WaitForFile(from_path));
  unlink(from_path.c_str());
  EXPECT_GT(StartCommandLine("bw-test-prog one \"two three\""), 32);
  ASSERT_TRUE(WaitForFile(from_path));
  EXPECT_EQ(ReadWholeFile(from_path).value_or(""), cwd + "\none\ntwo three\n");
}

TEST(Launch, ClassicProgramsResolveToTheFirstInstalledCounterpart) {
  TempDir bin;
  ScopedPath path(bin.Path());
  EXPECT_EQ(ResolveClassicProgram("calc"), "");
  EXPECT_EQ(ResolveClassicProgram("debug"), "");
  EXPECT_EQ(ResolveClassicProgram("wordpad"), "");
  MakeExecutable(bin, "xcalc");
  MakeExecutable(bin, "kcalc");
  MakeExecutable(bin, "xterm");
  MakeExecutable(bin, "gedit");
  std::string not_executable = bin.CreateFile("gimp", "");
  EXPECT_EQ(ResolveClassicProgram("calc"), "kcalc");
  EXPECT_EQ(ResolveClassicProgram("CALC.EXE"), "kcalc");
  EXPECT_EQ(ResolveClassicProgram("command"), "xterm");
  EXPECT_EQ(ResolveClassicProgram("Notepad"), "gedit");
  EXPECT_EQ(ResolveClassicProgram("mspaint"), "");
  EXPECT_EQ(ResolveClassicProgram("debug"), "") << "no gdb installed";
  MakeExecutable(bin, "gdb");
  EXPECT_EQ(ResolveClassicProgram("debug"), "xterm -e gdb");

  // "go calc" starts the counterpart.
  TempDir out;
  std::string marker = out.Slash() + "calc_started";
  unlink((bin.Slash() + "kcalc").c_str());
  RecorderScript(bin, "kcalc", marker);
  EXPECT_GT(ShellOpen("calc"), 32);
  EXPECT_TRUE(WaitForFile(marker));
}

TEST(Launch, SoundsPlayInTheBackgroundOrNotAtAll) {
  TempDir bin;
  ScopedPath path(bin.Path());
  std::string marker = bin.Slash() + "played";
  std::string sound = bin.CreateFile("click.wav", "RIFF");
  PlaySoundAsync(sound);  // no player installed: nothing happens
  RecorderScript(bin, "aplay", marker);
  PlaySoundAsync(bin.Slash() + "missing.wav");
  PlaySoundAsync(sound);
  ASSERT_TRUE(WaitForFile(marker));
  std::string recorded = ReadWholeFile(marker).value_or("");
  EXPECT_NE(recorded.find(sound + "\n"), std::string::npos);
  EXPECT_EQ(recorded.find("missing.wav"), std::string::npos);
}

}  // namespace

TEST(Launch, BareNamesAreLookedUpInAbsolutePathEntriesOnly) {
  // A program planted in the browsed directory (the working directory) or below it must not run
  // for a bare name, whatever relative entries PATH holds.
  TempDir dir;
  std::string marker = dir.Slash() + "planted_ran";
  RecorderScript(dir, "bw-planted", marker);
  dir.CreateDir("bin");
  RecorderScript(dir, "bin/bw-planted", marker);
  std::string before = WorkingDir();
  ASSERT_TRUE(SetWorkingDir(dir.Path()));
  int shell_result = 0, start_result = 0;
  for (const char* entries : {".", "bin", "./bin", ".:bin:/nonexistent", ":"}) {
    ScopedPath path(entries);
    shell_result = ShellOpen("bw-planted");
    start_result = StartCommandLine("bw-planted");
    EXPECT_NE(shell_result, kStartOk) << entries;
    EXPECT_EQ(start_result, kStartNotFound) << entries;
  }
  ASSERT_TRUE(SetWorkingDir(before));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(dir.Exists("planted_ran"));
}

TEST(Launch, ANameStartingWithADashReachesTheOpenerAsAPath) {
  TempDir bin;
  TempDir docs;
  std::string marker = bin.Slash() + "opened";
  RecorderScript(bin, "xdg-open", marker);
  docs.CreateFile("-rf.txt", "a document, not an option");
  ScopedPath path(bin.Path());
  std::string before = WorkingDir();
  ASSERT_TRUE(SetWorkingDir(docs.Path()));
  int result = OpenDocument("-rf.txt");
  ASSERT_TRUE(SetWorkingDir(before));
  EXPECT_GT(result, 32);
  ASSERT_TRUE(WaitForFile(marker));
  std::string cwd = docs.Path();
  EXPECT_EQ(ReadWholeFile(marker).value_or(""), cwd + "\n./-rf.txt\n");
}
