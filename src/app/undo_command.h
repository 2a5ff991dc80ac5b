#pragma once

// The program's undo history, kept in the settings directory.

#include "tools/transfer_record.h"
#include "tools/undo_history.h"

class App;

tools::UndoHistory UndoHistoryOf(const App& app);

// `path` as the undo history records it: a full path without ".", ".." or repeated delimiters
// that names the same entry (see platform::ResolvedFullPath); `path` itself when it cannot be
// resolved (it is then not recorded).
std::string RecordedPath(const std::string& path);

// A record of a copy or move about to start with `pairs` (more can be planned later), telling
// the console what cannot be recorded.
tools::TransferRecord RecordTransfer(App& app, tools::UndoKind kind,
                                     const std::vector<tools::TransferRecord::Pair>& pairs = {});

// Moves source to target as platform::MoveFileNoReplace does, recorded for undo: inside one
// directory as a rename, into another as a move, either path taken as RecordedPath gives it.
// False when it was not moved.
bool MoveWithUndo(App& app, const std::string& source, const std::string& target);
