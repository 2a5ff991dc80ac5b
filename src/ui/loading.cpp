#include "ui/loading.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "app/app.h"

TfrmLoading::TfrmLoading(App& app)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), app_(app) {
  setObjectName("frmLoading");
  setWindowOpacity(128.0 / 255.0);
  setCursor(Qt::WaitCursor);
  lblLoading = new QLabel(this);
  lblLoading->setObjectName("lblLoading");
  QFont f = lblLoading->font();
  f.setPixelSize(32);
  lblLoading->setFont(f);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblLoading);
}

void TfrmLoading::FormCreate() {
  setWindowTitle(app_.Str(3));
  lblLoading->setText(app_.Str(3));
  adjustSize();
}

void TfrmLoading::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TfrmLoading::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  QApplication::restoreOverrideCursor();
}

LoadingIndicator::LoadingIndicator(App& app) {
  if (app.batch() || app.frmLoading == nullptr || app.frmLoading->isVisible()) return;
  window_ = app.frmLoading;
  if (app.Form1 != nullptr) {
    window_->move(app.MainWidget()->geometry().center() - window_->rect().center());
  }
  window_->show();
  window_->repaint();
}

void LoadingIndicator::Hide() {
  if (window_ != nullptr) window_->hide();
  window_ = nullptr;
}
