#include "ui/title_fit.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include "ui/title_fit_rules.h"

namespace {

int ScreenWidth(const QWidget* window) {
  const QScreen* screen = window->screen();
  return screen != nullptr ? screen->availableGeometry().width() : 0;
}

}  // namespace

int TitleWidthOf(const QWidget* window) {
  // Window managers often draw titles bold: measured so, the title fits either way.
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  font.setBold(true);
  const QFontMetrics metrics(font);
  return ui::TitleFitWidth(0, metrics.horizontalAdvance(window->windowTitle()), metrics.height(),
                           ScreenWidth(window));
}

void FitTitle(QWidget* window) {
  const int width = TitleWidthOf(window);
  if (window->width() < width) window->resize(width, window->height());
}

void FitTitle(QMessageBox* box) {
  auto* grid = qobject_cast<QGridLayout*>(box->layout());
  if (grid == nullptr) return;
  grid->addItem(new QSpacerItem(TitleWidthOf(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}
