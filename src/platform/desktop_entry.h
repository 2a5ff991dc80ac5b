#pragma once

// Desktop entries (".desktop" files) name a program by their Exec line; starting one means
// starting that command line.

#include <string>
#include <string_view>

namespace platform {

// True when the path names a desktop entry (ends in ".desktop").
bool IsDesktopEntry(std::string_view path);

// The command line of a desktop entry's text: the Exec value of its [Desktop Entry] group with
// the field codes (%f, %U, ...) left out and "%%" read as "%"; "" when there is none.
std::string DesktopEntryCommand(std::string_view text);

}  // namespace platform
