#include "ui/title_fit_rules.h"

#include <algorithm>

namespace ui {

int TitleFitWidth(int width, int text_width, int line_height, int screen_width) {
  int needed = text_width + kTitleDecorationLines * line_height;
  if (screen_width > 0) needed = std::min(needed, screen_width);
  return std::max(width, needed);
}

}  // namespace ui
