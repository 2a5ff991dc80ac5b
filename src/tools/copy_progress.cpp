#include "tools/copy_progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "tools/copy_rules.h"
#include "ui/byte_text.h"
#include "ui/pump_events.h"

CopyProgressPanel::CopyProgressPanel(QWidget* parent) : QWidget(parent) {
  prgCopy = new QProgressBar(this);
  prgCopy->setRange(0, 1000);
  prgCopy->setTextVisible(false);
  lblProgress = new QLabel(this);
  btnStop = new QPushButton("Stop", this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lblProgress);
  layout->addWidget(prgCopy);
  layout->addWidget(btnStop);
  connect(btnStop, &QPushButton::clicked, this, [this] { RequestStop(); });
  hide();
}

void CopyProgressPanel::Begin(int files, std::int64_t bytes) {
  files_ = files;
  bytes_ = bytes;
  running_ = true;
  stop_requested_ = false;
  since_shown_.invalidate();
  Show(0, 0);
  show();
}

bool CopyProgressPanel::Report(int files_done, std::int64_t bytes_done) {
  // The widgets are brought up to date only when the pump lets events through: setting them
  // for every chunk of every file would cost more than the copy of a small file.
  if (!since_shown_.isValid() || since_shown_.elapsed() >= kShowIntervalMs) {
    Show(files_done, bytes_done);
    since_shown_.start();
  }
  PumpEvents();
  return !stop_requested_;
}

void CopyProgressPanel::End() {
  running_ = false;
  hide();
}

void CopyProgressPanel::Show(int files_done, std::int64_t bytes_done) {
  lblProgress->setText(BytesToText(copying::ProgressText(files_done, files_, bytes_done, bytes_)));
  prgCopy->setValue(copying::Permille(bytes_done, bytes_));
}
