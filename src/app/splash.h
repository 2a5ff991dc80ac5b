#pragma once

// The splash window: one 280 x 200 picture; a click closes it.

#include <QWidget>

class TfrmSplsh : public QWidget {
  Q_OBJECT

 public:
  TfrmSplsh();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;  // imgSplashClick
};
