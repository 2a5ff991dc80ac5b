#pragma once

// The choices of the options window that other windows act on. While the program runs the
// options window's controls hold them; this is what they say at one moment.

#include <QColor>

namespace config {

struct OptionChoices {
  bool ask_on_exit = false;       // ask before the program closes
  bool ask_on_delete = false;     // ask before files are deleted
  bool delete_to_trash = false;   // deleting moves to the trash rather than for ever
  bool ask_before_clear = false;  // ask before the console text is emptied
  QColor background;              // the colour of lists and text fields
  QColor text;                    // the colour of their text
};

}  // namespace config
