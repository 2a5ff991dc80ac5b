// The plan of a paste: targets, one question for each taken name, keep-both names that never
// meet each other, a cancel that does nothing, and folders refused inside themselves.

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "app/paste_rules.h"

namespace {

using app::ClashAnswer;

struct Case {
  const char* what;
  std::vector<std::string> sources;
  bool move;
  std::deque<ClashAnswer> answers;
  std::vector<std::string> targets;  // "-" alone: cancelled
  std::vector<std::string> asked;
  std::vector<std::string> refused;
};

TEST(PlanPaste, DecidesEveryTargetBeforeAnythingIsCopied) {
  // In /to/: "a.txt" and the folder "pics.old" are taken; /from/big is a folder holding /to/.
  const std::set<std::string> existing = {"/to/a.txt", "/to/pics.old"};
  const std::set<std::string> folders = {"/from/pics.old", "/from/big", "/to/pics.old"};
  const Case cases[] = {
      {"free names", {"/from/b.txt", "/from/c/"}, false, {}, {"/to/b.txt", "/to/c"}, {}, {}},
      {"keep both, skip",
       {"/from/a.txt", "/from/pics.old"},
       false,
       {ClashAnswer::kKeepBoth, ClashAnswer::kSkip},
       {"/to/a (2).txt"},
       {"a.txt -> a (2).txt", "pics.old -> pics.old (2)"},
       {}},
      {"cancel undoes the answers before",
       {"/from/a.txt", "/other/a.txt"},
       false,
       {ClashAnswer::kKeepBoth, ClashAnswer::kCancel},
       {"-"},
       {"a.txt -> a (2).txt", "a.txt -> a (3).txt"},
       {}},
      {"two of one name",
       {"/x/n", "/y/n"},
       false,
       {ClashAnswer::kKeepBoth},
       {"/to/n", "/to/n (2)"},
       {"n -> n (2)"},
       {}},
      {"into itself",
       {"/to", "/from/big", "/from/b.txt"},
       true,
       {},
       {"/to/b.txt"},
       {},
       {"> Error: Can't move \"/to\" into itself",
        "> Error: Can't move \"/from/big\" into itself"}},
      {"moved onto itself", {"/to/a.txt"}, true, {}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    std::deque<ClashAnswer> answers = c.answers;
    std::vector<std::string> asked;
    const app::PasteFacts facts{[&](const std::string& path) { return existing.count(path) > 0; },
                                [&](const std::string& path) { return folders.count(path) > 0; },
                                [](const std::string& dir, const std::string& source) {
                                  return source == "/from/big" && dir == "/to/";
                                },
                                [&](const std::string& name, const std::string& both) {
                                  asked.push_back(name + " -> " + both);
                                  const ClashAnswer answer =
                                      answers.empty() ? ClashAnswer::kSkip : answers.front();
                                  if (!answers.empty()) answers.pop_front();
                                  return answer;
                                }};
    const app::PastePlan plan = app::PlanPaste(c.sources, "/to/", c.move, facts);
    std::vector<std::string> targets;
    for (const app::PasteStep& step : plan.steps) targets.push_back(step.target);
    if (plan.cancelled) targets.push_back("-");
    EXPECT_EQ(targets, c.targets) << c.what;
    EXPECT_EQ(asked, c.asked) << c.what;
    EXPECT_EQ(plan.refused, c.refused) << c.what;
  }
}

}  // namespace
