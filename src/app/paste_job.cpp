#include "app/paste_job.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <QWidget>
#include <vector>

#include "app/app.h"
#include "platform/tree_copy.h"
#include "platform/tree_walk.h"
#include "tools/copy_progress.h"
#include "tools/copy_rules.h"
#include "ui/window_placement.h"

namespace {

// The progress window: closing it asks the job to stop, as its Stop button does.
class ProgressWindow : public QWidget {
 public:
  explicit ProgressWindow(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setObjectName("frmPasteProgress");
    panel = new CopyProgressPanel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    setMinimumWidth(320);
  }
  CopyProgressPanel* panel;

 protected:
  void closeEvent(QCloseEvent* event) override {
    panel->RequestStop();
    event->accept();
  }
};

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// The console line of one finished step.
void ReportStep(App& app, const app::PasteStep& step, bool move, platform::TreeOutcome outcome) {
  switch (outcome) {
    case platform::TreeOutcome::kDone:
      // A source that is no file, folder or link was left out and made nothing.
      if (platform::EntryExists(step.target)) {
        app.PrintLine((move ? "> Moved: " : "> Copied: ") + step.target);
      }
      return;
    case platform::TreeOutcome::kSourceKept:
      app.PrintLine("> Warning: Copied to " + Quoted(step.target) +
                    ", the source stays: " + Quoted(step.source));
      return;
    case platform::TreeOutcome::kStopped:
      app.PrintLine(copying::StoppedLine(step.target));
      return;
    case platform::TreeOutcome::kFailed:
      break;
  }
  app.PrintLine("> Error: Can't " + std::string(move ? "move" : "copy") + " " +
                Quoted(step.source) + " to " + Quoted(step.target));
}

}  // namespace

PasteJob::PasteJob(App& app, QWidget* owner) : app_(app), owner_(owner) {
  auto* window = new ProgressWindow(owner);
  window_ = window;
  panel_ = window->panel;
}

bool PasteJob::running() const {
  return panel_->running();
}

bool PasteJob::Report(std::int64_t files_done, std::int64_t bytes_done) {
  if (!window_->isVisible() && since_start_.elapsed() >= show_after_ms) {
    window_->adjustSize();
    window_->show();
    CentreOver(window_, owner_);
  }
  return panel_->Report(static_cast<int>(files_done), bytes_done);
}

void PasteJob::Run(const app::PastePlan& plan, bool move) {
  for (const std::string& line : plan.refused) app_.PrintLine(line);
  if (plan.steps.empty() || running()) return;
  window_->setWindowTitle(move ? "Moving" : "Copying");
  since_start_.start();
  panel_->Begin(0, 0);
  // The totals come first, so the progress tells how much is left; counting a large tree takes
  // a while too, and may be stopped.
  std::vector<platform::TreeSize> sizes;
  platform::TreeSize total;
  for (const app::PasteStep& step : plan.steps) {
    sizes.push_back(platform::MeasureTree(step.source, [this] { return Report(0, 0); }));
    total.files += sizes.back().files;
    total.bytes += sizes.back().bytes;
  }
  const bool stopped_counting = panel_->stop_requested();
  panel_->Begin(static_cast<int>(total.files), total.bytes);
  platform::TreeSize done;
  for (std::size_t i = 0; i < plan.steps.size() && !stopped_counting; ++i) {
    const app::PasteStep& step = plan.steps[i];
    const auto progress = [&](std::int64_t files, std::int64_t bytes) {
      return Report(done.files + files, done.bytes + bytes);
    };
    const platform::TreeResult result =
        move ? platform::MoveTree(step.source, step.target, progress)
             : platform::CopyTree(step.source, step.target, progress);
    for (const std::string& skipped : result.skipped) app_.PrintLine(copying::SkippedLine(skipped));
    ReportStep(app_, step, move, result.outcome);
    if (result.outcome == platform::TreeOutcome::kStopped) break;
    done.files += sizes[i].files;
    done.bytes += sizes[i].bytes;
    // A stop asked for between two entries ends the job before the next one.
    if (i + 1 < plan.steps.size() && !Report(done.files, done.bytes)) {
      app_.PrintLine("> Warning: Copy stopped");
      break;
    }
  }
  if (stopped_counting) app_.PrintLine("> Warning: Copy stopped");
  panel_->End();
  window_->hide();
}
