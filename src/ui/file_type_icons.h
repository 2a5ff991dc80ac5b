#pragma once

// The icon beside an entry of the file list: the desktop icon theme's icon for the entry's file
// type, told by its name alone (no file is opened or looked up), or the style's built-in file
// and folder icons where the theme has none. Directories ("name/", "../") show as folders.

#include <QIcon>
#include <string>

QIcon FileTypeIcon(const std::string& entry);
