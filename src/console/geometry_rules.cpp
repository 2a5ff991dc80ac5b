#include "console/geometry_rules.h"

#include <algorithm>

namespace console {

namespace {

// `value` between `low` and `high`; `low` wins when they cross.
long long Between(long long value, long long low, long long high) {
  return std::max(low, std::min(value, high));
}

}  // namespace

Box KeepOnScreens(Box box, const Box& area, long long least_width, long long least_height) {
  box.width = Between(box.width, least_width, area.width);
  box.height = Between(box.height, least_height, area.height);
  box.x = Between(box.x, area.x, area.x + area.width - box.width);
  box.y = Between(box.y, area.y, area.y + area.height - box.height);
  return box;
}

}  // namespace console
