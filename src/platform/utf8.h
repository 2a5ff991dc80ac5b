#pragma once

// UTF-8, one code point at a time, for rules that look at the letters of byte strings.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Decodes one well-formed UTF-8 sequence at the start of `text` into `c`; returns its length,
// 0 for anything else (an overlong form, a surrogate, a cut sequence, a stray byte).
std::size_t DecodeUtf8(std::string_view text, char32_t& c);

// Appends the UTF-8 form of `c`.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace platform
