#pragma once

// What a paste or a drop into a directory will do, decided before anything is copied: each
// source's target, the questions about names already taken (asked once for each top-level
// name, a folder included), and the sources that would be pasted into themselves.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The user's answer when a pasted name is taken in the target directory.
enum class ClashAnswer { kKeepBoth, kSkip, kCancel };

struct PasteStep {
  std::string source, target;
};

struct PastePlan {
  std::vector<PasteStep> steps;      // in the order the sources came
  std::vector<std::string> refused;  // console lines for the sources refused
  bool cancelled = false;            // the user cancelled: nothing is done at all
};

struct PasteFacts {
  // Anything stands at the path (a dangling link too).
  std::function<bool(const std::string& path)> exists;
  std::function<bool(const std::string& path)> is_folder;
  // The directory `dir` is the folder `source` or lies below it, links resolved.
  std::function<bool(const std::string& dir, const std::string& source)> within;
  // Asked for a taken name, with the name that keeping both gives the pasted one.
  std::function<ClashAnswer(const std::string& name, const std::string& both_name)> ask;
};

// Plans pasting `sources` (paths, a final delimiter allowed) into `dir` (ending in the
// delimiter). A source moved onto itself is left out; the names planned count as taken for the
// sources after them, so two sources of one name never meet at the same target.
PastePlan PlanPaste(const std::vector<std::string>& sources, const std::string& dir, bool move,
                    const PasteFacts& facts);

// The console line of a folder pasted into itself: > Error: Can't copy "X" into itself
std::string IntoItselfLine(std::string_view source, bool move);

}  // namespace app
