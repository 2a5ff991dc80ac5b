#pragma once

// The loading indicator shown around lengthy work, with the hourglass cursor.

#include <QWidget>

class App;
class QLabel;

class TfrmLoading : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmLoading(App& app);
  void FormCreate();

  QLabel* lblLoading = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  App& app_;
};

// Shows the indicator, painted at once, for the lifetime of the object (never in batch mode).
class LoadingIndicator {
 public:
  explicit LoadingIndicator(App& app);
  ~LoadingIndicator() { Hide(); }
  LoadingIndicator(const LoadingIndicator&) = delete;
  LoadingIndicator& operator=(const LoadingIndicator&) = delete;
  void Hide();

 private:
  TfrmLoading* window_ = nullptr;
};
