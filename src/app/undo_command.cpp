// The main window's Undo: takes back the most recent change the program made, as long as the
// files involved are still as the change left them.

#include <QAction>

#include "app/app.h"
#include "app/main_window.h"
#include "app/undo_command.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/trash.h"
#include "tools/batch_window.h"
#include "tools/undo_history.h"
#include "tools/undo_transfer.h"
#include "ui/byte_text.h"

namespace {

bool Unchanged(const platform::FileIdentity& recorded, const std::string& path) {
  const auto now = platform::GetFileIdentity(path);
  return now && platform::SameFile(recorded, *now);
}

bool Free(const std::string& path) {
  return !platform::GetFileIdentity(path);
}

// Carries out one entry; "" when done, otherwise why it was left undone.
std::string UndoOne(App& app, const tools::UndoEntry& entry) {
  const auto& p = entry.paths;
  switch (entry.kind) {
    case tools::UndoKind::kTrash:
      if (!Unchanged(entry.id, p[1])) return "\"" + p[0] + "\" is no longer in the trash as it was";
      if (!Free(p[0])) return "\"" + p[0] + "\" is taken by another file";
      if (!platform::RestoreFromTrash(p[1], p[2], p[0])) return "can not restore \"" + p[0] + "\"";
      return {};
    case tools::UndoKind::kRename:
      if (!Unchanged(entry.id, p[1])) return "\"" + p[1] + "\" has changed since";
      if (!Free(p[0])) return "\"" + p[0] + "\" is taken by another file";
      if (!platform::RenameWithinFileSystem(p[1], p[0]))
        return "can not rename \"" + p[1] + "\" back";
      return {};
    case tools::UndoKind::kCreate: {
      // Only a file that is still empty goes, and into the trash rather than for ever.
      const auto now = platform::GetFileIdentity(p[0]);
      const bool same =
          now && now->size == 0 && (entry.id.inode == 0 || platform::SameFile(entry.id, *now));
      if (!same) return "\"" + p[0] + "\" is no longer the empty file it was";
      if (platform::MoveToTrash(p[0]).outcome != platform::TrashOutcome::kTrashed) {
        return "can not move \"" + p[0] + "\" to the trash";
      }
      return {};
    }
    case tools::UndoKind::kBatch:
      return app.frmBatch->UndoRun(entry.run);
    case tools::UndoKind::kCopy:
    case tools::UndoKind::kMove:
      break;
  }
  return "unknown change";
}

// Why each part of the entry was left undone; nothing when all of it was undone.
std::vector<std::string> UndoEntry(App& app, const tools::UndoEntry& entry) {
  if (entry.kind == tools::UndoKind::kCopy || entry.kind == tools::UndoKind::kMove)
    return tools::UndoTransfer(entry);
  std::string why = UndoOne(app, entry);
  if (why.empty()) return {};
  return {why};
}

}  // namespace

tools::UndoHistory UndoHistoryOf(const App& app) {
  return tools::UndoHistory(app.SettingsDir() + tools::kUndoFileName);
}

std::string RecordedPath(const std::string& path) {
  return platform::ResolvedFullPath(path).value_or(path);
}

tools::TransferRecord RecordTransfer(App& app, tools::UndoKind kind,
                                     const std::vector<tools::TransferRecord::Pair>& pairs) {
  tools::TransferRecord record(UndoHistoryOf(app), kind,
                               [&app](const std::string& line) { app.PrintLine(line); });
  std::vector<tools::TransferRecord::Pair> recorded;
  recorded.reserve(pairs.size());
  for (const auto& pair : pairs) {
    recorded.push_back({RecordedPath(pair.source), RecordedPath(pair.target), pair.source_id});
  }
  record.Plan(recorded);
  return record;
}

bool MoveWithUndo(App& app, const std::string& given_source, const std::string& given_target) {
  // Moved as recorded, so that the undo finds the file where the move put it.
  const std::string source = RecordedPath(given_source);
  const std::string target = RecordedPath(given_target);
  if (!tools::SameDirectory(source, target)) {
    const tools::TransferRecord record =
        RecordTransfer(app, tools::UndoKind::kMove, {{source, target}});
    return platform::MoveFileNoReplace(source, target);
  }
  const tools::UndoHistory history = UndoHistoryOf(app);
  const auto id = platform::GetFileIdentity(source);
  const bool recorded = id && history.Record({tools::UndoKind::kRename, *id, {source, target}});
  const bool moved = platform::MoveFileNoReplace(source, target);
  if (recorded && !moved) history.DropLast();
  return moved;
}

void TForm1::UpdateUndoCaption() {
  const auto entries = UndoHistoryOf(app_).Load();
  const bool any = entries && !entries->empty();
  Undo1->setText(any ? BytesToText(tools::UndoCaption(entries->back())) : QString("Undo"));
  Undo1->setEnabled(!entries || any);
}

void TForm1::Undo1Click() {
  // Nothing is taken back under a numbering run, which may be renaming the very files.
  if (app_.frmBatch->running()) {
    app_.PrintLine("> Warning: a renaming run is in progress; nothing is undone");
    return;
  }
  const tools::UndoHistory history = UndoHistoryOf(app_);
  const auto entries = history.Load();
  if (!entries) {
    app_.PrintLine("> Error: the undo history \"" + history.path() +
                   "\" can not be read; nothing is undone");
    return;
  }
  if (entries->empty()) {
    app_.PrintLine("> Warning: there is nothing to undo");
    return;
  }
  const tools::UndoEntry& last = entries->back();
  const std::string caption = tools::UndoCaption(last);
  // Taken off first: a batch undo records nothing, and a refused entry must not block the
  // older ones.
  if (!history.DropLast()) {
    app_.PrintLine("> Error: the undo history \"" + history.path() + "\" can not be written");
    return;
  }
  const std::vector<std::string> left = UndoEntry(app_, last);
  if (left.empty()) app_.PrintLine("> Undone: " + caption.substr(5));
  for (const std::string& why : left)
    app_.PrintLine("> Warning: " + caption + " left undone: " + why);
  UpdateUndoCaption();
  ScanDirectory1Click();
}
