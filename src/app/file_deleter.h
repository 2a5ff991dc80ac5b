#pragma once

// How the delete commands remove a file: into the desktop trash, or for ever when the user
// chose so (Shift+Delete, or the option "Delete moves to the trash" unticked). Where no trash can
// take a file, the user is told and asked, once per command, before anything is deleted for
// ever; nothing is ever deleted for ever without a word.

#include <optional>
#include <string>

#include "tools/undo_history.h"

class App;

class FileDeleter {
 public:
  FileDeleter(App& app, bool for_ever);

  // Removes the file; true when it is gone (trashed or deleted for ever).
  bool Remove(const std::string& path);

 private:
  bool MayDeleteForEver(const std::string& path, const std::string& why);

  App& app_;
  bool for_ever_;
  tools::UndoHistory history_;         // where each trash is recorded, to be restored by Undo
  std::optional<bool> without_trash_;  // the user's answer, asked once per command
};
