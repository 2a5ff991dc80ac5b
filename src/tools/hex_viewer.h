#pragma once

// The hex viewer: shows the bytes of one file as hexadecimal text. Read-only. The dump is never
// built in memory: the view formats the lines on screen, and saving and finding stream the file.

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "tools/hex_dump_view.h"
#include "tools/hex_rules.h"

class App;

// Writes the dump of the first `size` bytes read by `read` to `path` in blocks formatted and
// written on every core, through a temporary file that replaces `path` only when the whole dump
// is written and synced;
// an abort or a failure leaves `path` as it was. kWriteError when the file cannot be created,
// written or put in place.
tools::StreamResult SaveDumpFile(const tools::ByteReader& read, std::int64_t size,
                                 const std::string& path, const tools::KeepGoing& keep_going);

class TfrmHexEditor : public QWidget {
 public:
  explicit TfrmHexEditor(App& app);

  // Sets the captions and takes the colours of the options window's previews.
  void FormCreate();
  // Shows the dump of the file at `path` (bytes), with its console lines and status panels.
  void LoadHexDump(const std::string& path);
  // Shows no dump.
  void ClearDump();
  // The path of the file last handed to LoadHexDump (bytes); empty before the first.
  const std::string& LoadedPath() const { return loaded_path_; }

  // Asks for a file name and saves the shown dump as text.
  void SAVE1Click();
  // Stops a running save or search; nothing happens while none runs.
  void ABORT1Click();
  // Opens the hex calculator, with the selection when it is two characters.
  void CALC1Click();
  // A mouse button went down with the caret at `caret`: two characters from there are selected.
  void memHexMouseDown(std::int64_t caret);
  // Asks for an offset (decimal, or hexadecimal with "0x") and selects the byte there.
  void GOTO1Click();
  // Asks for bytes ("4D 5A") or text and finds them from the start of the file.
  void FIND1Click();
  // Finds the last bytes asked for again, after the selected byte.
  void FINDNEXT1Click();
  // Saves the shown dump to `path` with progress and abort (what SAVE1 does after its dialog).
  void SaveDump(const std::string& path);
  // Whether a save or a search is running.
  bool Busy() const { return busy_; }

  QMenuBar* hexmenu;
  QAction* SAVE1;
  QAction* ABORT1;
  QAction* CALC1;
  QAction* GOTO1;
  QAction* FIND1;
  QAction* FINDNEXT1;
  QLabel* lblFile;
  HexDumpView* memHex;
  QProgressBar* Progresss;
  QStatusBar* InfoFile;
  QLabel* InfoPanel[3];
  QLabel* InfoOffset;  // the selected byte's offset

 private:
  // Runs long work: the loading indicator, progress in the bar and panels, and an abort flag.
  // `work` gets a callback to call between blocks with the bytes done.
  void RunJob(const std::function<void(const tools::KeepGoing&)>& work);
  void FitPanels(std::int64_t size);
  void ShowLoadedPanels();
  void ShowSelectedOffset();
  void FindFrom(std::int64_t offset);

  App& app_;
  std::string loaded_path_;
  std::string find_text_;     // what the user typed last for a search
  std::string find_pattern_;  // the bytes it stands for
  bool busy_ = false;
  bool abort_requested_ = false;
};
