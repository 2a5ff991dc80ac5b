#include "console/variable_rules.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace console {
namespace {

// A running program as substitution sees it, counting every question it is asked.
struct FakeProgram {
  std::vector<std::string> printed;
  int input_asks = 0, open_asks = 0, save_asks = 0, date_asks = 0, time_asks = 0, sysdir_asks = 0;
  std::string input = "typed";
  std::string open_file = "/data/in.txt";
  std::string save_file = "/data/out.txt";
  std::string dir = "/home/ann/";
  std::string this_file = "/home/ann/a.txt";
  std::optional<std::vector<std::string>> external = std::vector<std::string>{};
  // The file handed over read and split beforehand, as a run over many names does.
  bool split_beforehand = false;
  std::string file_text;
  std::vector<std::string_view> file_lines;

  VariableSource Source() {
    VariableSource s;
    s.start_button = "Start";
    s.current_dir = dir;
    s.program_dir = "/opt/bw/";
    s.current_file = this_file;
    s.date = [this] { return ++date_asks, std::string("01.02.2003"); };
    s.time = [this] { return ++time_asks, std::string("04:05:06"); };
    s.system_dir = [this] { return ++sysdir_asks, std::string("/usr/bin"); };
    s.ask_input = [this] { return ++input_asks, input; };
    s.ask_open_file = [this] { return ++open_asks, open_file; };
    s.ask_save_file = [this] { return ++save_asks, save_file; };
    s.print = [this](const std::string& line) { printed.push_back(line); };
    s.read_external = [this]() -> std::optional<std::string> {
      if (!external) return std::nullopt;
      return platform::JoinLinesCrlf(*external);
    };
    if (split_beforehand && external) {
      file_text = platform::JoinLinesCrlf(*external);
      file_lines = platform::SplitLineViews(file_text);
      s.external_lines = &file_lines;
      s.read_external = [] {
        ADD_FAILURE() << "the file is read again";
        return std::optional<std::string>();
      };
    }
    return s;
  }

  std::string Replace(std::string_view text) { return ReplaceVariables(text, Source()); }
};

const char kWarning[] = "> Warning: Varable file \"defvars.txt\"does not exist!";

TEST(ReplaceVariables, BuiltInNamesIgnoreCase) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"$dir\\x", "/home/ann/\\x"},
      {"$DIR$Dir", "/home/ann//home/ann/"},
      {"$DIRX", "/home/ann/X"},
      {"a{n}b{N}", "a\n\rb\n\r"},
      {"$EXEdefvars.txt", "/opt/bw/defvars.txt"},
      {"$varfn", "defvars.txt"},
      {"$This", "/home/ann/a.txt"},
      {"$stsbtn", "Start"},
      {"$date $TIME", "01.02.2003 04:05:06"},
      {"$SysDir/ls", "/usr/bin/ls"},
      {"$input!", "typed!"},
      {"no variables, $ alone, $DI", "no variables, $ alone, $DI"},
      {"", ""},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    FakeProgram program;
    EXPECT_EQ(program.Replace(text), expected);
    EXPECT_TRUE(program.printed.empty());
  }
}

TEST(ReplaceVariables, ValuesOfBuiltInsAreNeverReplacedAgain) {
  FakeProgram program;
  program.dir = "[$DATE $STSBTN $DIR $OPENDL]";
  // Neither later built-ins nor the dialogs look into the value.
  EXPECT_EQ(program.Replace("$DIR"), "[$DATE $STSBTN $DIR $OPENDL]");
  EXPECT_EQ(program.open_asks, 0);
  EXPECT_EQ(program.date_asks, 0);

  FakeProgram input;
  input.input = "$dir $time";
  EXPECT_EQ(input.Replace("$INPUT"), "$dir $time");
  EXPECT_EQ(input.time_asks, 0);

  // A file named a$TMPb stays that file, whatever the variables file says about $TMP.
  const std::vector<std::string> tmp = {"$TMP=/tmp;", "$v=done;"};
  struct Case {
    std::string dir, this_file, input, open_file, text, expected;
  } cases[] = {
      {"/w/", "/w/a$TMPb", "", "", "$THIS", "/w/a$TMPb"},
      {"/w/$tmp/", "", "", "", "$DIRx $TMP", "/w/$tmp/x /tmp"},
      {"/w/", "", "$v and $TMP", "", "[$INPUT] $v", "[$v and $TMP] done"},
      {"/w/", "", "", "/o/$v.txt", "$OPENDL $v", "/o/$v.txt done"},
      {"/w/", "$v", "", "", "x $THIS", "x $v"},
      // The name spelled across a value and the text is no name.
      {"/w/$T", "", "", "", "$DIRMP", "/w/$TMP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FakeProgram p;
    p.dir = c.dir;
    p.this_file = c.this_file;
    p.input = c.input;
    p.open_file = c.open_file;
    p.external = tmp;
    EXPECT_EQ(p.Replace(c.text), c.expected);
  }
}

TEST(ReplaceVariables, LongFilesAndArgumentsFindEveryName) {
  // Names of many lengths against an argument full of "$": the quick test for absent names must
  // never drop a name that is there, before or after a replacement changed the text.
  std::vector<std::string> lines;
  for (int i = 0; i < 20000; ++i) lines.push_back("$var" + std::to_string(i) + "=v;");
  lines.push_back("$last=end;");
  FakeProgram program;
  program.external = lines;
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "$x";
  EXPECT_EQ(program.Replace(text + "$var19999 $last $VAR7$var12"),
            text + "v9999 end vv");  // $var1 comes first
}

TEST(ReplaceVariables, AsksOnlyForNamesInTheTextAndOnlyOnce) {
  FakeProgram none;
  EXPECT_EQ(none.Replace("plain $DIR"), "plain /home/ann/");
  EXPECT_EQ(none.input_asks + none.open_asks + none.save_asks, 0);
  EXPECT_EQ(none.date_asks + none.time_asks + none.sysdir_asks, 0);

  FakeProgram twice;
  EXPECT_EQ(twice.Replace("$INPUT-$input $date $DATE $time $TIME $sysdir $SYSDIR"),
            "typed-typed 01.02.2003 01.02.2003 04:05:06 04:05:06 /usr/bin /usr/bin");
  EXPECT_EQ(twice.input_asks, 1);
  EXPECT_EQ(twice.date_asks, 1);
  EXPECT_EQ(twice.time_asks, 1);
  EXPECT_EQ(twice.sysdir_asks, 1);

  FakeProgram cancelled;
  cancelled.input = "";
  EXPECT_EQ(cancelled.Replace("[$INPUT][$INPUT]"), "[][]");
  EXPECT_EQ(cancelled.input_asks, 1);
}

TEST(ReplaceVariables, FileDialogsAnswerOnlyToCapitalsAndFillTheFirstPlace) {
  FakeProgram program;
  EXPECT_EQ(program.Replace("$OPENDL $OPENDL $SAVEDL $SAVEDL"),
            "/data/in.txt $OPENDL /data/out.txt $SAVEDL");
  EXPECT_EQ(program.open_asks, 1);
  EXPECT_EQ(program.save_asks, 1);
  EXPECT_TRUE(program.printed.empty());

  FakeProgram lower;
  EXPECT_EQ(lower.Replace("$opendl $OpenDL $savedl"), "$opendl $OpenDL $savedl");
  EXPECT_EQ(lower.open_asks + lower.save_asks, 0);

  FakeProgram cancelled;
  cancelled.open_file = "";
  cancelled.save_file = "";
  EXPECT_EQ(cancelled.Replace("<$OPENDL><$SAVEDL>"), "<><>");
  EXPECT_EQ(cancelled.printed,
            (std::vector<std::string>{"> Hint: File name is NULL", "> Hint: File name is NULL"}));
}

TEST(ReplaceVariables, MissingVariablesFileWarnsAndKeepsTheText) {
  FakeProgram program;
  program.external = std::nullopt;
  EXPECT_EQ(program.Replace("plain text"), "plain text");
  EXPECT_EQ(program.Replace("x $dir y"), "x /home/ann/ y");
  EXPECT_EQ(program.printed, (std::vector<std::string>{kWarning, kWarning}));

  // With no callbacks at all nothing is asked and the file counts as missing.
  VariableSource empty;
  EXPECT_EQ(ReplaceVariables("a$input$OPENDL$date$sysdir b", empty), "a b");
}

TEST(ReplaceVariables, ExternalLinesApplyAfterBuiltIns) {
  FakeProgram program;
  program.external = std::vector<std::string>{"$a=hello;", "$dir=never;"};
  // $DIR is built in and gone before the external lines run; the rest keeps its case.
  EXPECT_EQ(program.Replace("x $a $dir"), "x hello /home/ann/");
  EXPECT_TRUE(program.printed.empty());
  // No external match: nothing changes either.
  EXPECT_EQ(program.Replace("x $b $dir"), "x $b /home/ann/");
}

TEST(ReplaceVariables, ExternalLinesApplyTopToBottom) {
  struct Case {
    std::vector<std::string> lines;
    std::string text;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{"$a=hello;"}, "x $a y", "x hello y"},
      {{"$a=hello"}, "x $a y", "x  y"},
      {{"$ab=1;", "$a=2;"}, "$ab $a", "1 2"},
      {{"$a=2;", "$ab=1;"}, "$ab $a", "2b $a"},
      {{"$a=x;"}, "$A $a", "x $a"},
      {{"$a=x;", "$a=y;"}, "$a $a", "x y"},
      {{"$a=$b;", "$b=z;"}, "$a", "z"},
      {{"$b=z;", "$a=$b;"}, "$a", "$b"},
      {{"$a=1; comment = here;"}, "$a", "1"},
      {{"a;b=c;"}, "a;b", ""},
      {{"name = value;"}, "x name", "x name"},
      {{"name = value;"}, "name  x", " value x"},
      {{"=x;", "novalue", ""}, "=x novalue", "=x novalue"},
      {{"$zz=1;"}, "lower text", "lower text"},
      {{"k=\xc3\xa4;"}, "k", "\xc3\xa4"},
      {{std::string("$n\0=v;", 6)}, std::string("a$N\0", 4), "av"},
  };
  for (const Case& c : cases) {
    for (const bool split_beforehand : {false, true}) {
      SCOPED_TRACE(c.text + (split_beforehand ? " (lines given)" : " (file read)"));
      FakeProgram program;
      program.external = c.lines;
      program.split_beforehand = split_beforehand;
      EXPECT_EQ(program.Replace(c.text), c.expected);
    }
  }
}

TEST(ReplaceVariables, ExternalValuesThatBringTheirOwnNameTerminate) {
  const auto apply = [](std::string_view text, std::vector<std::string> lines) {
    FakeProgram program;
    program.external = std::move(lines);
    return program.Replace(text);
  };
  EXPECT_EQ(apply("$a", {"$a=$a$a;"}), "$a$a");
  EXPECT_EQ(apply("$a", {"$a=$a!;", "$a=$a!;", "$a=$a!;"}), "$a!!!");

  std::vector<std::string> lines;
  for (int i = 0; i < 100000; ++i) lines.push_back("$v" + std::to_string(i) + "=" + "n;");
  for (int i = 0; i < 10000; ++i) lines.push_back("$self=$self+;");
  const std::string result = apply("$v7 $self", lines);
  EXPECT_EQ(result, "n $self" + std::string(10000, '+'));
}

}  // namespace
}  // namespace console
