#pragma once

// Taking back a copy or a move of the undo history.

#include <string>
#include <vector>

#include "tools/undo_rules.h"

namespace tools {

// Undoes a copy (each copy into the trash) or a move (each file back where it came from), the
// most recent file first. A file that changed since the job, or whose old place is taken, is
// left as it is: nothing is ever replaced. Returns why each file left was left, such as
// "\"/d/a.txt\" has changed since"; nothing when all were undone.
std::vector<std::string> UndoTransfer(const UndoEntry& entry);

}  // namespace tools
