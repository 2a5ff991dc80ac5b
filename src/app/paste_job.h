#pragma once

// A paste or a drop carried out after it was planned: each step copied or moved in turn and
// reported in the console. A job that takes more than a moment shows its progress (files,
// bytes and a Stop button) in a small window over the main window; a quick one shows nothing.

#include <QElapsedTimer>
#include <cstdint>

#include "app/paste_rules.h"

class App;
class CopyProgressPanel;
class QWidget;

class PasteJob {
 public:
  PasteJob(App& app, QWidget* owner);

  // Carries out `plan` (its refused sources are reported first). A stop ends the job and takes
  // back the entry it was copying; those done before stay.
  void Run(const app::PastePlan& plan, bool move);
  bool running() const;

  QWidget* window() const { return window_; }
  CopyProgressPanel* panel() const { return panel_; }

  // How long a job runs before its progress window shows: quick pastes flash no window.
  qint64 show_after_ms = 400;

 private:
  // Shows the window once the job has run long enough; false once the user asked to stop.
  bool Report(std::int64_t files_done, std::int64_t bytes_done);

  App& app_;
  QWidget* owner_;
  QWidget* window_;
  CopyProgressPanel* panel_;
  QElapsedTimer since_start_;
};
