#pragma once

// How wide a small window must be for the window manager to show its title whole: the title's
// text, and beside it the window's icon, its buttons and the frame's padding.

namespace ui {

// Room beside the text, in lines of the title font: about one for the icon, one and a half for
// each of three buttons, and one and a half of padding.
inline constexpr int kTitleDecorationLines = 7;

// The width a window of `width` gets so that a title `text_width` wide in a font `line_height`
// high shows whole: never narrower than it is, never wider than `screen_width` (0: no limit).
int TitleFitWidth(int width, int text_width, int line_height, int screen_width);

}  // namespace ui
