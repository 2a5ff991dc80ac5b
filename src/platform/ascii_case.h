#pragma once

// ASCII letter case, the one case rule of the program: settings names, listing patterns,
// command names and variable names all ignore the case of a to z only and leave every other
// byte (UTF-8 sequences included) as it is.

#include <string>
#include <string_view>

namespace platform {

// One byte upper-cased: ASCII a-z to A-Z, every other byte unchanged.
inline char ToUpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// One byte lower-cased: ASCII A-Z to a-z, every other byte unchanged.
inline char ToLowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters a-z to A-Z; every other byte unchanged.
inline std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToUpperAscii(c);
  return out;
}

// ASCII letters A-Z to a-z; every other byte unchanged.
inline std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToLowerAscii(c);
  return out;
}

// True when the two texts are equal once both are upper-cased (ASCII letters only).
inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
  }
  return true;
}

// True when `text` ends in `tail`, ignoring the case of ASCII letters.
inline bool EndsWithIgnoreCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         EqualsIgnoreCase(text.substr(text.size() - tail.size()), tail);
}

// The order of the texts once both are lower-cased (ASCII letters only), bytes compared as
// unsigned values.
inline bool LessIgnoreCase(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(ToLowerAscii(a[i]));
    const auto y = static_cast<unsigned char>(ToLowerAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace platform
