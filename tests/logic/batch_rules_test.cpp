#include "tools/batch_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/variable_rules.h"
#include "platform/paths.h"

namespace tools {
namespace {

using P = NameProblem;

TEST(BatchRules, PlaceholdersReplaceTheirFirstOccurrenceOnly) {
  struct Case {
    const char* pattern;
    const char* old_name;
    std::size_t position;
    const char* expected;
  };
  const Case cases[] = {
      {"$NUM_$OFN", "a.txt", 0, "0_a"},  // no $EXT: the extension is dropped
      {"$NUM_$OFN", "b.doc", 1, "1_b"},
      {"$OFN$EXT", "archive.tar.gz", 0, "archive.gz"},  // first dot, last dot
      {"$OFN_$NUM", "README", 0, "_0"},                 // no dot: $OFN is empty
      {"$NUM-$NUM", "a.txt", 0, "0-$NUM"},
      {"$num_$ofn$ext", "a.txt", 3, "$num_$ofn$ext"},  // lower case is not a placeholder
      {"$EXT$EXT", ".bashrc", 0, ".bashrc$EXT"},
      {"img$NUM", "x", 12345, "img12345"},
      {"", "a.txt", 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandPlaceholders(c.pattern, c.old_name, c.position), c.expected)
        << c.pattern << " on " << c.old_name;
  }
}

TEST(BatchRules, NewNameGoesThroughTheConsoleVariables) {
  console::VariableSource vars;
  vars.current_dir = "/home/ann/";
  vars.read_external = [] { return std::optional<std::string>("$TAG=draft;\r\n"); };
  EXPECT_EQ(BuildNewName("$NUM-$NUM", "a.txt", 0, vars), "0-$NUM");
  EXPECT_EQ(BuildNewName("$TAG_$NUM$EXT", "a.txt", 7, vars), "draft_7.txt");
  // The parts of the old name reach the new name as they are.
  EXPECT_EQ(BuildNewName("$OFN", "$TAG.x", 0, vars), "$TAG");
}

TEST(BatchRules, TheOldNameIsNeverRewrittenByTheVariables) {
  console::VariableSource vars;
  vars.current_dir = "/home/ann/";
  vars.date = [] { return std::string("9 Dec 2026"); };
  int asked = 0;
  vars.ask_input = [&asked] {
    ++asked;
    return std::string("typed");
  };
  vars.read_external = [] { return std::optional<std::string>("$V0=zero;\r\n$EXT=ext;\r\n"); };
  struct Case {
    const char* pattern;
    const char* old_name;
    const char* expected;
  };
  const Case cases[] = {
      {"$OFN$EXT", "a{n}b.txt", "a{n}b.txt"},
      {"$OFN$EXT", "rep$DATE.txt", "rep$DATE.txt"},
      {"$OFN$EXT", "x$VARFN.txt", "x$VARFN.txt"},
      {"$OFN$EXT", "q$INPUT.txt", "q$INPUT.txt"},
      {"$OFN$EXT", "$EXT.txt", "$EXT.txt"},  // not taken for the placeholder either
      {"$OFN$EXT", "v.$V0", "v.$V0"},
      // The pattern's own text and the number are replaced as before.
      {"$V$NUM", "a.txt", "zero"},
      {"$OFN-$DATE$EXT", "a.txt", "a-9 Dec 2026.txt"},
      {"$DIR$OFN", "a.txt", "/home/ann/a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildNewName(c.pattern, c.old_name, 0, vars), c.expected)
        << c.pattern << " on " << c.old_name;
  }
  EXPECT_EQ(asked, 0);
}

TEST(BatchRules, ReplaceInNameIsCaseSensitiveAndReplacesEveryOccurrence) {
  EXPECT_EQ(ReplaceInName("banana.txt", "a", "b"), "bbnbnb.txt");
  EXPECT_EQ(ReplaceInName("banana.txt", "A", "b"), "banana.txt");
  EXPECT_EQ(ReplaceInName("banana.txt", "", "b"), "banana.txt");
  EXPECT_EQ(ReplaceInName("aaa", "aa", "a"), "aa");  // matches do not overlap
  EXPECT_EQ(ReplaceInName("photo 1.jpg", " ", ""), "photo1.jpg");
}

TEST(BatchRules, EntriesNamesAndPaths) {
  const BatchEntry dir = SplitEntry("Docs/");
  EXPECT_EQ(dir.name, "Docs");
  EXPECT_TRUE(dir.is_dir);
  EXPECT_EQ(EntryText({"New", true}), "New/");
  EXPECT_EQ(EntryText({"New", false}), "New");
  EXPECT_FALSE(SplitEntry("a.txt").is_dir);
  EXPECT_TRUE(IsParentEntry("../"));
  EXPECT_FALSE(IsParentEntry("..a/"));

  EXPECT_EQ(platform::JoinPath("/tmp/x/", "a"), "/tmp/x/a");
  EXPECT_EQ(platform::JoinPath("/tmp/x", "a"),
            "/tmp/x/a");  // never "/tmp/xa", a file of another directory
  EXPECT_EQ(platform::JoinPath("", "a"), "a");

  // A listed entry stays in the listed directory; a found file's path is split at its own.
  struct Bound {
    const char* listed_dir;
    const char* entry;
    const char* dir;
    const char* shown;
  };
  for (const Bound& b : std::vector<Bound>{{"/a/", "x.txt", "/a/", "x.txt"},
                                           {"/a/", "sub/", "/a/", "sub/"},
                                           {"", "/b/c/x.txt", "/b/c/", "x.txt"},
                                           {"", "/b/c/", "/b/", "c/"},
                                           {"", "bare", "", "bare"}}) {
    const BoundEntry bound = BindEntry(b.listed_dir, b.entry);
    EXPECT_EQ(bound.dir, b.dir) << b.entry;
    EXPECT_EQ(bound.entry, b.shown) << b.entry;
  }

  for (const char* bad : {"", ".", "..", "a/b", "/"}) EXPECT_FALSE(IsValidName(bad)) << bad;
  EXPECT_FALSE(IsValidName(std::string("a\0b", 3)));
  for (const char* good : {"a", "...", ".hidden", "a b", "$NUM"}) EXPECT_TRUE(IsValidName(good));
}

TEST(BatchRules, ConflictsAreFoundInTheOrderTheRunRenames) {
  struct Case {
    const char* what;
    std::vector<std::string> old_names, new_names;
    std::vector<std::string> existing;  // besides the old names
    std::vector<P> expected;
  };
  const Case cases[] = {
      {"all free", {"a", "b"}, {"0_a", "1_b"}, {}, {P::kNone, P::kNone}},
      {"two files to one name",
       {"a.txt", "a.doc", "c"},
       {"a", "a", "c1"},
       {},
       {P::kDuplicate, P::kDuplicate, P::kNone}},
      {"a file outside the batch", {"a", "b"}, {"x", "y"}, {"y"}, {P::kNone, P::kTaken}},
      {"a later entry still holds it", {"a", "b"}, {"b", "c"}, {}, {P::kTaken, P::kNone}},
      {"an earlier entry freed it", {"a", "b"}, {"c", "a"}, {}, {P::kNone, P::kNone}},
      {"invalid names",
       {"a", "b", "c", "d"},
       {"", "x/y", ".", ".."},
       {},
       {P::kInvalid, P::kInvalid, P::kInvalid, P::kInvalid}},
      {"unchanged and parent", {"a", ".."}, {"a", ".."}, {}, {P::kUnchanged, P::kParent}},
      // A name refused for another reason does not count as a second taker.
      {"invalid does not duplicate",
       {"a", "b", "c"},
       {"x/", "x", "x/"},
       {},
       {P::kInvalid, P::kNone, P::kInvalid}},
  };
  for (const Case& c : cases) {
    std::unordered_set<std::string> existing(c.existing.begin(), c.existing.end());
    for (const auto& name : c.old_names) {
      if (name != "..") existing.insert(name);
    }
    EXPECT_EQ(FindConflicts(c.old_names, c.new_names, existing), c.expected) << c.what;
  }
  EXPECT_STREQ(ProblemText(P::kNone), "");
  EXPECT_STRNE(ProblemText(P::kTaken), "");
}

TEST(BatchRules, ScriptSaveNames) {
  EXPECT_EQ(ScriptSaveName("/s/test"), "/s/test.bws");
  EXPECT_EQ(ScriptSaveName("/s/job.BWS"), "/s/job.BWS");
  EXPECT_EQ(ScriptSaveName("/s/job.bws"), "/s/job.bws");
  EXPECT_EQ(ScriptSaveName("/s/notes.txt"), "/s/notes.txt.bws");
  EXPECT_EQ(ScriptSaveName("/s.d/run"), "/s.d/run.bws");
}

}  // namespace
}  // namespace tools
