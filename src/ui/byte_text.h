#pragma once

// File names and console lines are bytes below the widgets. These two functions carry them
// through Qt text without loss: valid UTF-8 decodes as usual, and every byte that is not part of
// valid UTF-8 becomes a lone surrogate U+DC80..U+DCFF (shown as a replacement mark) that
// encodes back to the same byte.

#include <QString>
#include <string>
#include <string_view>

QString BytesToText(std::string_view bytes);
std::string TextToBytes(const QString& text);
