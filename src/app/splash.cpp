#include "app/splash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TfrmSplsh::TfrmSplsh()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("frmSplsh");
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(280, 200);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

void TfrmSplsh::paintEvent(QPaintEvent*) {
  // The picture imgSplash, drawn rather than stored.
  QPainter p(this);
  QLinearGradient sky(0, 0, 0, height());
  sky.setColorAt(0, QColor(40, 70, 120));
  sky.setColorAt(1, QColor(120, 160, 210));
  p.fillRect(rect(), sky);
  p.setPen(Qt::white);
  QFont title = font();
  title.setPixelSize(30);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRect(0, 40, width(), 50), Qt::AlignCenter, "Brackwell");
  QFont small = font();
  small.setPixelSize(13);
  p.setFont(small);
  p.drawText(QRect(0, 95, width(), 30), Qt::AlignCenter, "v0.1.1 (Little Steps)");
  p.drawText(QRect(0, 150, width(), 30), Qt::AlignCenter, "file manager and console");
}

void TfrmSplsh::mousePressEvent(QMouseEvent*) {
  close();
}
