#pragma once

// Where a window may stand: positions and sizes kept within what the screens show.

namespace console {

// A window's place in screen pixels; wide enough for any number a command line may hold.
struct Box {
  long long x = 0;
  long long y = 0;
  long long width = 0;
  long long height = 0;
};

// The box sized between the least size and the area's size, then moved so that it lies wholly
// within the area. An area smaller than the least size keeps the least size, at the area's corner.
Box KeepOnScreens(Box box, const Box& area, long long least_width, long long least_height);

}  // namespace console
