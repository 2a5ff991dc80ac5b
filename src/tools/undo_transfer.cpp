#include "tools/undo_transfer.h"

#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/trash.h"

namespace tools {

namespace {

std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

// Undoes one file; "" when done, otherwise why it was left.
std::string UndoItem(UndoKind kind, const TransferItem& item) {
  const auto now = platform::GetFileIdentity(item.target);
  if (!now) return Quoted(item.target) + " is no longer there";
  if (!IsTransferredFile(item.id, *now)) return Quoted(item.target) + " has changed since";
  if (kind == UndoKind::kCopy) {
    if (platform::MoveToTrash(item.target).outcome != platform::TrashOutcome::kTrashed)
      return "can not move " + Quoted(item.target) + " to the trash";
    return {};
  }
  if (platform::GetFileIdentity(item.source))
    return Quoted(item.source) + " is taken by another file";
  if (!platform::MoveFileNoReplace(item.target, item.source))
    return "can not move " + Quoted(item.target) + " back to " + Quoted(item.source);
  return {};
}

}  // namespace

std::vector<std::string> UndoTransfer(const UndoEntry& entry) {
  std::vector<std::string> left;
  for (auto item = entry.items.rbegin(); item != entry.items.rend(); ++item) {
    std::string why = UndoItem(entry.kind, *item);
    if (!why.empty()) left.push_back(std::move(why));
  }
  return left;
}

}  // namespace tools
