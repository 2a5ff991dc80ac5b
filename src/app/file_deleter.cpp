#include "app/file_deleter.h"

#include "app/app.h"
#include "app/undo_command.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/trash.h"
#include "ui/byte_text.h"
#include "ui/dialogs.h"

FileDeleter::FileDeleter(App& app, bool for_ever)
    : app_(app),
      for_ever_(for_ever || !app.Choices().delete_to_trash),
      history_(UndoHistoryOf(app)) {}

bool FileDeleter::Remove(const std::string& path) {
  if (for_ever_) return platform::DeleteFile(path);
  const auto id = platform::GetFileIdentity(path);
  const platform::TrashResult trashed =
      platform::MoveToTrash(path, [&](const std::string& in_trash, const std::string& info) {
        if (id) history_.Record({tools::UndoKind::kTrash, *id, {path, in_trash, info}});
      });
  switch (trashed.outcome) {
    case platform::TrashOutcome::kTrashed:
      return true;
    case platform::TrashOutcome::kFailed:
      return false;
    case platform::TrashOutcome::kNoTrash:
      break;
  }
  return MayDeleteForEver(path, trashed.why) && platform::DeleteFile(path);
}

bool FileDeleter::MayDeleteForEver(const std::string& path, const std::string& why) {
  app_.PrintLine("> Warning: the trash can not take \"" + path + "\": " + why);
  if (!without_trash_) {
    const QString text = "The trash can not be used:\n\r" + BytesToText(why) +
                         "\n\rDelete for ever instead?\n\r" + BytesToText(path);
    without_trash_ = app_.dialogs().MessageBox(text, app_.Str(29), MsgIcon::kWarning,
                                               MsgButtons::kYesNo) == MsgAnswer::kYes;
  }
  return *without_trash_;
}
