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
  // Whatever the journal holds, a run added to it is the last run of what is then on the disk,
  // whole, and the journal is never left damaged.
  tools::JournalRun added;
  added.id = "00000000000000ff";
  added.pairs.push_back({{1, 2, 3, 4, 5}, "/d/a", "/d/b"});
  const tools::JournalWrite write =
      tools::PlanJournalWrite(text, tools::JournalRunText(added), 4096);
  const tools::Journal after = tools::ParseJournal(write.whole ? write.text : text + write.text);
  FUZZ_CHECK(!after.damaged && !after.runs.empty());
  FUZZ_CHECK(after.runs.back().id == added.id && after.runs.back().pairs.size() == 1);
  FUZZ_CHECK(after.runs.back().pairs[0].new_path == "/d/b");

  if (const auto info = platform::ParseTrashInfo(text)) {
    const auto reread = platform::ParseTrashInfo(platform::TrashInfoText(info->path, 0));
    FUZZ_CHECK(reread && reread->path == info->path);
  }

  const std::vector<std::string> paths = app::DecodeUriList(text);
  FUZZ_CHECK(app::DecodeUriList(app::EncodeUriList(paths)) == paths);
  app::DecodeGnomeCopiedFiles(text);
  return 0;
}
