// The files other programs or a crash may leave for us to read: the undo history, the rename
// journal, a trash info file and clipboard URI lists. Each reader takes any bytes; what it accepts
// reads back the same once written again.
#include <string>

#include "app/clipboard_rules.h"
#include "fuzz_support.h"
#include "platform/trash_info.h"
#include "tools/rename_journal_rules.h"
#include "tools/undo_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  if (const auto history = tools::ParseUndoHistory(text)) {
    std::string again;
    for (const tools::UndoEntry& entry : *history) again += tools::UndoEntryLine(entry);
    const auto reread = tools::ParseUndoHistory(again);
    FUZZ_CHECK(reread && reread->size() == history->size());
    for (std::size_t i = 0; i < history->size(); ++i) FUZZ_CHECK((*reread)[i] == (*history)[i]);
  }
  tools::LastJournalRun(text);

  if (const auto info = platform::ParseTrashInfo(text)) {
    const auto reread = platform::ParseTrashInfo(platform::TrashInfoText(info->path, 0));
    FUZZ_CHECK(reread && reread->path == info->path);
  }

  const std::vector<std::string> paths = app::DecodeUriList(text);
  FUZZ_CHECK(app::DecodeUriList(app::EncodeUriList(paths)) == paths);
  app::DecodeGnomeCopiedFiles(text);
  return 0;
}
