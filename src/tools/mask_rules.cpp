#include "tools/mask_rules.h"

#include "platform/ascii_case.h"
#include "platform/paths.h"

namespace tools {
namespace {

// The same ASCII letter in the other case; every other character as it is.
char32_t OtherCase(char32_t c) {
  if (c >= 0x80) return c;
  const char byte = static_cast<char>(c);
  const char upper = platform::ToUpperAscii(byte);
  return static_cast<unsigned char>(upper != byte ? upper : platform::ToLowerAscii(byte));
}

// The character at `pos` and its length in bytes: a whole UTF-8 sequence where there is one, so
// that "?" and sets stand for one letter of a name. A byte that starts no valid sequence is a
// character of its own, kept apart from every real character.
char32_t DecodeChar(std::string_view text, std::size_t pos, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  length = 1;
  if (lead < 0x80) return lead;
  const std::size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (size == 1 || pos + size > text.size()) return 0x110000 + lead;
  char32_t c = lead & (0x7F >> size);
  for (std::size_t i = 1; i < size; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return 0x110000 + lead;
    c = (c << 6) | (next & 0x3F);
  }
  length = size;
  return c;
}

}  // namespace

std::optional<Mask> Mask::Compile(std::string_view text, std::string* error) {
  const auto refuse = [error](const char* why) {
    if (error != nullptr) *error = why;
    return std::nullopt;
  };
  if (text.find(platform::kPathDelim) != std::string_view::npos) {
    return refuse("a mask cannot hold the path delimiter");
  }
  Mask mask;
  int groups = 0;
  bool in_group = false;  // inside a run of "*" and "?" that holds a "*"
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '*') {
      if (!in_group && ++groups > kMaxStarGroups) return refuse("too many \"*\" groups");
      if (mask.tokens_.empty() || mask.tokens_.back().kind != Token::kStar) {
        mask.tokens_.push_back({Token::kStar});
      }
      in_group = true;
      continue;
    }
    if (c == '?') {
      // Directly after a "*" a "?" adds nothing.
      if (i == 0 || text[i - 1] != '*') mask.tokens_.push_back({Token::kAny});
      continue;
    }
    in_group = false;
    if (c != '[') {
      mask.tokens_.push_back({Token::kLiteral, platform::ToLowerAscii(c)});
      continue;
    }
    Token set{Token::kSet};
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '!') {
      set.negated = true;
      ++j;
    }
    for (;;) {
      if (j >= text.size() || (text[j] == '-' && j + 1 >= text.size())) {
        return refuse("a set is not closed by \"]\"");
      }
      if (text[j] == ']') break;
      // A "-" stands for a range only after a character; last in the set it is itself.
      if (text[j] == '-' && (set.ranges.empty() || j + 1 >= text.size() || text[j + 1] != ']')) {
        return refuse("a \"-\" in a set has no character before it");
      }
      std::size_t length = 0;
      const char32_t first = DecodeChar(text, j, length);
      j += length;
      char32_t last = first;
      if (first != '-' && j + 1 < text.size() && text[j] == '-' && text[j + 1] != ']') {
        last = DecodeChar(text, j + 1, length);
        j += 1 + length;
      }
      set.ranges.push_back({first, last});
    }
    if (set.ranges.empty()) return refuse("a set is empty");
    mask.tokens_.push_back(std::move(set));
    i = j;
  }
  std::size_t tail_from = mask.tokens_.size();
  while (tail_from > 0 && mask.tokens_[tail_from - 1].kind == Token::kLiteral) --tail_from;
  for (std::size_t t = tail_from; t < mask.tokens_.size(); ++t) mask.tail_ += mask.tokens_[t].byte;
  return mask;
}

bool Mask::SetMatches(const Token& set, char32_t c) const {
  bool in = false;
  for (const Range& r : set.ranges) {
    const char32_t other = OtherCase(c);
    if ((c >= r.first && c <= r.last) || (other >= r.first && other <= r.last)) {
      in = true;
      break;
    }
  }
  return in != set.negated;
}

bool Mask::Matches(std::string_view name) const {
  // The literal end first: each of its tokens takes one byte at the end of the name.
  if (name.size() < tail_.size()) return false;
  for (std::size_t i = 0, at = name.size() - tail_.size(); i < tail_.size(); ++i) {
    if (platform::ToLowerAscii(name[at + i]) != tail_[i]) return false;
  }
  // Every token but "*" takes exactly one character, so a "*" is retried one character further
  // on a mismatch: linear for the usual masks, and never worse than names times tokens.
  const std::size_t count = tokens_.size();
  std::size_t n = 0, t = 0;
  std::size_t star = count, resume = 0;
  while (n < name.size()) {
    if (t < count) {
      const Token& token = tokens_[t];
      if (token.kind == Token::kStar) {
        star = t++;
        resume = n;
        continue;
      }
      std::size_t length = 1;
      bool ok;
      if (token.kind == Token::kLiteral) {
        ok = platform::ToLowerAscii(name[n]) == token.byte;
      } else {
        const char32_t c = DecodeChar(name, n, length);
        ok = token.kind == Token::kAny || SetMatches(token, c);
      }
      if (ok) {
        n += length;
        ++t;
        continue;
      }
    }
    if (star == count) return false;
    t = star + 1;
    std::size_t length = 0;
    DecodeChar(name, resume, length);
    resume += length;
    n = resume;
  }
  while (t < count && tokens_[t].kind == Token::kStar) ++t;
  return t == count;
}

std::string ListingMaskError(std::string_view mask) {
  if (mask.find(platform::kPathDelim) != std::string_view::npos) {
    return std::string("A mask cannot hold \"") + platform::kPathDelim + "\"";
  }
  if (mask.find(')') != std::string_view::npos) return "A mask cannot hold \")\"";
  return {};
}

}  // namespace tools
