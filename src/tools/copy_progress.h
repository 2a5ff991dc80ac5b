#pragma once

// The progress row of the copy windows: files and bytes done, and a button that stops the run.
// While a run reports its progress, window messages are let through every few milliseconds, so
// the windows stay responsive and the stop button can be pressed.

#include <QElapsedTimer>
#include <QWidget>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

class CopyProgressPanel : public QWidget {
 public:
  explicit CopyProgressPanel(QWidget* parent);

  // Starts a run over `files` files of `bytes` bytes in all, and shows the row.
  void Begin(int files, std::int64_t bytes);
  // Shows how far the run is; false once the user asked to stop.
  bool Report(int files_done, std::int64_t bytes_done);
  // Hides the row again.
  void End();

  bool running() const { return running_; }
  bool stop_requested() const { return stop_requested_; }
  void RequestStop() { stop_requested_ = true; }

  QProgressBar* prgCopy;
  QLabel* lblProgress;
  QPushButton* btnStop;

 private:
  void Show(int files_done, std::int64_t bytes_done);

  static constexpr qint64 kShowIntervalMs = 15;

  QElapsedTimer since_shown_;
  int files_ = 0;
  std::int64_t bytes_ = 0;
  bool running_ = false;
  bool stop_requested_ = false;
};
