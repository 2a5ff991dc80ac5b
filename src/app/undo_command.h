#pragma once

// The program's undo history, kept in the settings directory.

#include "tools/undo_history.h"

class App;

tools::UndoHistory UndoHistoryOf(const App& app);
